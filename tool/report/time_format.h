#pragma once

#include <cstdint>

#include "text/shared_string.h"

namespace zemtra {

// TimeFormat chooses the forms in which a frame count is printed; the forms
// always appear in this order, separated by spaces.
struct TimeFormat {
    bool msf = true;      // minutes:seconds:frames, as "%03d:%02d:%02d"
    bool secs = false;    // whole seconds, as "%6d"
    bool frames = false;  // the frame count itself, as "%7d"
};

// formatTime returns count (1/75 s frames) in the forms that format turns
// on, trimmed of leading and trailing blanks; empty when none is on.
// Division truncates toward zero, so a negative count keeps its sign in
// every remainder (-1 gives 000:00:-1).
kwCore::SharedString formatTime(int32_t count, const TimeFormat& format);

}  // namespace zemtra
