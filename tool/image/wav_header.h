#pragma once

#include <cstdint>
#include <string>

#include "stream/stream.h"

namespace zemtra {

// WavLayout is where a WAVE file keeps its samples.
struct WavLayout {
    int64_t dataOffset = 0;  // the first sample's byte in the file
    int64_t dataLength = 0;  // bytes of samples, a multiple of 4
};

// readWavHeader reads the RIFF/WAVE chunks of the size bytes of stream
// (read and sought from its start) into layout. It takes PCM, 16 bits, two
// channels, 44,100 Hz, plain or WAVE_FORMAT_EXTENSIBLE, with its chunks in
// any order and odd-sized chunks followed by their pad byte. Returns false
// with reason (no final full stop) for anything else: not RIFF/WAVE, no
// "fmt " or "data" chunk, another format, a chunk reaching past the end.
bool readWavHeader(kwCore::Stream& stream, int64_t size, WavLayout& layout, std::string& reason);

}  // namespace zemtra
