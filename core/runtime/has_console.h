#pragma once

namespace kwCore {

// hasConsole tells whether the process is attached to a console (Windows:
// the console code page is non-zero; POSIX: the process has a controlling
// terminal).
bool hasConsole() noexcept;

}  // namespace kwCore
