#include "verify/read_progress.h"

#include "platform/clock.h"
#include "platform/console.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

// kInterval is the least time in milliseconds between two updates.
constexpr uint32_t kInterval = 250;
// kSamplesPerSecondAt1x is the speed of 1x: 75 sectors of 588 samples.
constexpr double kSamplesPerSecondAt1x = 75.0 * 588.0;

void show(const kwCore::SharedString& text) {
    kwCore::platform::writeStandardError(text.cStr(), static_cast<size_t>(text.getLength()));
}

}  // namespace

ReadProgress::ReadProgress()
    : shown(kwCore::platform::standardErrorIsTerminal()),
      startTick(kwCore::platform::tickCount()),
      lastTick(startTick) {}

ReadProgress::~ReadProgress() {
    if (written) {
        // Clears the line, so the report's lines do not land behind it.
        show(kwCore::format("\r%40s\r", ""));
    }
}

void ReadProgress::update(int track, double fraction, int64_t samples) {
    if (!shown) {
        return;
    }
    const uint32_t now = kwCore::platform::tickCount();
    if (written && now - lastTick < kInterval) {
        return;
    }
    lastTick = now;
    written = true;
    const double seconds = static_cast<double>(now - startTick) / 1000.0;
    const double speed =
        seconds > 0 ? static_cast<double>(samples) / kSamplesPerSecondAt1x / seconds : 0.0;
    show(kwCore::format("\rTrack %d: %3d%%  %.1fx ", track, static_cast<int>(fraction * 100),
                        speed));
}

}  // namespace zemtra
