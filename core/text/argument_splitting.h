#pragma once

#include "text/shared_string.h"
#include "text/string_array.h"

namespace kwCore {

// splitArguments replaces array's contents by the pieces of text: it cuts at
// spaces and tabs outside quotes. Quote characters stay in the pieces; a quote
// protects separators until the same kind closes it, and an unclosed quote
// runs to the end. No empty pieces are produced.
void splitArguments(const SharedString& text, StringArray& array);

// unescape returns text with its backslash escapes decoded: \n, \t, \r, \_
// (space), \xHH (one byte), \uHHHH (UTF-8); any other escaped character stands
// for itself and a trailing lone backslash is dropped. The hex digits are read
// as strtol with base 16 reads them.
SharedString unescape(const SharedString& text);

// unquoteArgument applies the second splitting pass to one piece: a piece
// enclosed in single quotes loses them and is unescaped, one enclosed in double
// quotes loses them, any other piece stays.
SharedString unquoteArgument(const SharedString& piece);

}  // namespace kwCore
