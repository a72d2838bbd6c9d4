#pragma once

#include <cstdint>

namespace zemtra {

// ReadProgress shows how a read of the disc's audio goes on standard error,
// as one line rewritten in place: the track, the percentage of it read and
// the speed as a multiple of 1x (75 sectors a second). It shows nothing
// unless standard error is a terminal, so that a log or a pipe gets no such
// lines.
class ReadProgress {
  public:
    ReadProgress();
    ~ReadProgress();
    ReadProgress(const ReadProgress&) = delete;
    ReadProgress& operator=(const ReadProgress&) = delete;

    // update shows track's progress, at most a few times a second: fraction
    // of it read, samples read since the read began.
    void update(int track, double fraction, int64_t samples);

  private:
    bool shown;
    bool written = false;
    uint32_t startTick;
    uint32_t lastTick;
};

}  // namespace zemtra
