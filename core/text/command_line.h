#pragma once

#include <cstdint>

#include "text/shared_string.h"
#include "text/string_array.h"

namespace kwCore {

// CommandLine is the process's argument list: its elements are the arguments,
// element 0 the program, each piece with its enclosing quotes removed (and
// single-quoted ones unescaped). It also carries the whole command text and
// where the program's own file lives.
class CommandLine : public StringArray {
  public:
    // CommandLine reads the process's command line: the whole command text
    // where the system keeps one, otherwise the argument vector.
    CommandLine();

    // parse fills the fields and the elements from one command text, split at
    // blanks outside quotes. text is shared, not copied.
    void parse(const SharedString& text);
    // parseArguments fills the fields and the elements from an argument vector
    // that is already split: each element only loses its enclosing quotes, and
    // text becomes the arguments joined by single spaces.
    void parseArguments(int32_t argumentCount, const char* const* arguments);

    // The strings are released in reverse order, moduleName first, then the
    // elements.

    // text is the whole command line.
    SharedString text;
    // modulePath is the path of the program's file, as the system reports it.
    SharedString modulePath;
    // moduleDirectory is the directory part of the program file's full path,
    // with its closing separator.
    SharedString moduleDirectory;
    // moduleName is the file-name part of that full path.
    SharedString moduleName;

  private:
    void readModule();
    void unquoteElements();
};

}  // namespace kwCore
