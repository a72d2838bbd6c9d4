#include "report/time_format.h"

#include "disc/track_timing.h"
#include "text/string_format.h"

namespace zemtra {

kwCore::SharedString formatTime(int32_t count, const TimeFormat& format) {
    kwCore::SharedString result;
    const int32_t seconds = count / kFramesPerSecond;
    if (format.msf) {
        result.append(kwCore::format("%03d:%02d:%02d ", seconds / 60, seconds % 60,
                                     count - seconds * kFramesPerSecond));
    }
    if (format.secs) {
        result.append(kwCore::format("%6d ", seconds));
    }
    if (format.frames) {
        result.append(kwCore::format("%7d ", count));
    }
    result.trim();
    return result;
}

}  // namespace zemtra
