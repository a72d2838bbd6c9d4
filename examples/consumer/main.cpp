// Uses kwCore's string and formatting from an installed copy of the library.
#include <cstdio>

#include "text/shared_string.h"

int main() {
    kwCore::SharedString text;
    text.formatInto("%s, %d", "kwCore", 42);
    std::printf("%s\n", text.cStr());
    return 0;
}
