#pragma once

#include "text/string_array.h"

namespace zemtra {

// runReport runs the tool on a split command line (element 0 the program,
// then the arguments): it gathers the switches and the drive (or image),
// reads it once and prints the report, as text lines, a JSON document or a
// cue sheet. Without arguments it prints the usage text; the first argument
// that asks for the help or the version (before any unknown switch) prints
// that instead, and nothing is read. Every message goes to standard output.
// Returns the exit status: 0 after the usage text, the help, the version or
// a report, 1 after an error message, 2 after a report whose audio read
// found a track unreadable or not accurate.
int runReport(const kwCore::StringArray& arguments);

}  // namespace zemtra
