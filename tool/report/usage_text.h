#pragma once

#include <string>
#include <string_view>

namespace zemtra {

// InfoRequest is what an argument that asks about the tool itself wants:
// nothing (a switch, a drive), the help or the version.
enum class InfoRequest { none, help, version };

// infoRequest returns what argument asks for: "-h", "-help", "--help" and
// "-?" the help, "--version" and "-version" the version.
InfoRequest infoRequest(std::string_view argument) noexcept;

// usageText returns the usage line: "Zemtra <drive>" and every switch of
// the switch table in brackets, in the table's order, ending in CR LF.
std::string usageText();

// helpText returns the usage line followed by one line per switch, in the
// same order: the switch, padded to the longest, and its summary.
std::string helpText();

// versionText returns "zemtra <version>" and CR LF.
std::string versionText();

}  // namespace zemtra
