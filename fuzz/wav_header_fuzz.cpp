// The WAVE header reader on any bytes: it either refuses them with a
// reason or finds a data chunk of whole stereo samples inside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "image/wav_header.h"
#include "stream/memory_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) {
        return 0;
    }
    kwCore::MemoryStream stream;
    stream.open(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    zemtra::WavLayout layout;
    std::string reason;
    if (!zemtra::readWavHeader(stream, static_cast<int64_t>(size), layout, reason)) {
        FUZZ_CHECK(!reason.empty());
        return 0;
    }
    FUZZ_CHECK(layout.dataOffset >= 20 && layout.dataLength % 4 == 0);
    FUZZ_CHECK(layout.dataOffset + layout.dataLength <= static_cast<int64_t>(size));
    return 0;
}
