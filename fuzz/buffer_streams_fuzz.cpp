// Buffer, BufferStream and MemoryStream under any sequence of operations with
// any positions and lengths, checked against plain byte vectors. Every read
// lands in a destination followed by guard bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "buffer/buffer.h"
#include "fuzz_check.h"
#include "stream/buffer_stream.h"
#include "stream/memory_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kGuardSize = 16;
constexpr uint8_t kGuard = 0xC7;

// Guarded is a destination of n bytes followed by guard bytes.
struct Guarded {
    explicit Guarded(size_t n) : bytes(n + kGuardSize, kGuard), size(n) {}
    uint8_t* data() { return bytes.data(); }
    // guardIntact tells whether nothing was written past the n bytes.
    bool guardIntact() const {
        return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(size), bytes.end(),
                           [](uint8_t b) { return b == kGuard; });
    }
    Bytes bytes;
    size_t size;
};

// position picks a position around the interesting places of a size.
int32_t position(FuzzedDataProvider& input, int64_t size) {
    const int32_t delta = input.ConsumeIntegralInRange<int32_t>(-3, 3);
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return delta;
        case 1:
            return static_cast<int32_t>(size) + delta;
        case 2:
            return kwCore::BlockSize * input.ConsumeIntegralInRange(0, 3) + delta;
        default:
            return input.ConsumeIntegral<int32_t>();
    }
}

// requestLength picks a read length: small, near a block, -1 or anything.
int64_t requestLength(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return input.ConsumeIntegralInRange<int64_t>(-2, 40);
        case 1:
            return kwCore::BlockSize + input.ConsumeIntegralInRange<int64_t>(-3, 3);
        case 2:
            return input.ConsumeIntegralInRange<int64_t>(0, 3 * kwCore::BlockSize);
        default:
            return input.ConsumeIntegral<int64_t>();
    }
}

// expectedRead is what reading length bytes at pos yields when the bytes
// readable end at end: -1 reads to the end, other negative lengths nothing.
int64_t expectedRead(int64_t pos, int64_t length, int64_t end) {
    if (pos < 0 || pos >= end || length < -1) {
        return 0;
    }
    return length == -1 ? end - pos : std::min(length, end - pos);
}

// sameBytes tells whether count bytes at destination equal model's from pos.
bool sameBytes(const uint8_t* destination, const Bytes& model, int64_t pos, int64_t count) {
    return count == 0 ||
           std::memcmp(destination, model.data() + pos, static_cast<size_t>(count)) == 0;
}

void checkBufferRead(const kwCore::Buffer& buffer, const Bytes& model, int32_t pos,
                     int32_t length) {
    const int64_t expected = expectedRead(pos, length, static_cast<int64_t>(model.size()));
    Guarded destination(static_cast<size_t>(expected));
    const int32_t got = buffer.readAt(pos, length, destination.data());
    FUZZ_CHECK(got == expected);
    FUZZ_CHECK(sameBytes(destination.data(), model, pos, got));
    FUZZ_CHECK(destination.guardIntact());

    int32_t run = length;
    const char* bytes = buffer.contiguousAt(pos, run);
    if (pos < 0 || length <= 0 || pos >= static_cast<int64_t>(model.size())) {
        FUZZ_CHECK(bytes == nullptr);
        return;
    }
    const int32_t toBlockEnd = kwCore::BlockSize - pos % kwCore::BlockSize;
    FUZZ_CHECK(bytes != nullptr);
    FUZZ_CHECK(run == std::min({length, static_cast<int32_t>(model.size()) - pos, toBlockEnd}));
    FUZZ_CHECK(std::memcmp(bytes, model.data() + pos, static_cast<size_t>(run)) == 0);
}

int modelCompare(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin());
    return mismatch.first == a.end() ? 0 : *mismatch.first < *mismatch.second ? -1 : 1;
}

// StreamModel is what a BufferStream over one of the buffers should be.
struct StreamModel {
    int which = 0;
    bool writing = false;
    int32_t start = 0;
    int32_t limit = -1;
    int64_t position = -1;  // the read position; -1 when writing or closed
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    kwCore::Buffer buffers[2];
    Bytes models[2];
    kwCore::BufferStream stream;
    StreamModel streamModel;
    bool streamOpen = false;
    // A std::string's data is never null, even when empty.
    const std::string text = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 64));
    kwCore::MemoryStream memory;
    int64_t memoryOffset = 0;
    FUZZ_CHECK(
        memory.open(reinterpret_cast<const char*>(text.data()), static_cast<int32_t>(text.size())));
    uint8_t fill = 0;

    for (int steps = 0; steps < 64 && input.remaining_bytes() > 0; ++steps) {
        const int which = input.ConsumeBool() ? 1 : 0;
        kwCore::Buffer& buffer = buffers[which];
        Bytes& model = models[which];
        switch (input.ConsumeIntegralInRange(0, 9)) {
            case 0: {  // append
                const int32_t length = static_cast<int32_t>(
                    std::clamp<int64_t>(requestLength(input), -5, 3 * kwCore::BlockSize));
                Bytes bytes(static_cast<size_t>(std::max(length, 0)));
                for (uint8_t& b : bytes) {
                    b = fill++;
                }
                const int32_t stored = buffer.append(bytes.data(), length);
                FUZZ_CHECK(stored == std::max(length, 0));
                model.insert(model.end(), bytes.begin(), bytes.end());
                break;
            }
            case 1:
            case 2:
                checkBufferRead(buffer, model, position(input, model.size()),
                                static_cast<int32_t>(requestLength(input)));
                break;
            case 3:
                FUZZ_CHECK(kwCore::Buffer::compare(buffers[0], buffers[1]) ==
                           modelCompare(models[0], models[1]));
                break;
            case 4:
                buffers[0].swap(buffers[1]);
                models[0].swap(models[1]);  // an open stream stays on its object
                break;
            case 5:
                buffer.clear();
                model.clear();
                break;
            case 6: {  // open the stream
                streamModel.which = which;
                streamModel.writing = input.ConsumeBool();
                const int32_t start = position(input, model.size());
                const int32_t limit = input.ConsumeBool() ? -1 : position(input, model.size());
                streamOpen = stream.open(&buffer, streamModel.writing, start, limit);
                FUZZ_CHECK(streamOpen == (limit >= -1));
                streamModel.start = std::max(start, 0);
                streamModel.limit = limit;
                streamModel.position = streamModel.writing ? -1 : streamModel.start;
                break;
            }
            case 7: {  // stream read or write
                if (!streamOpen) {
                    FUZZ_CHECK(stream.read(nullptr, 5) == -1 && stream.write(nullptr, 5) == -1);
                    break;
                }
                Bytes& target = models[streamModel.which];
                const int64_t length = requestLength(input);
                const int32_t low = static_cast<int32_t>(static_cast<uint64_t>(length));
                if (streamModel.writing) {
                    int64_t n = std::max(low, 0);
                    if (streamModel.limit != -1) {
                        n = std::min<int64_t>(n, int64_t{streamModel.limit} + 1);
                    }
                    n = std::min<int64_t>(n, 3 * kwCore::BlockSize);
                    Bytes bytes(static_cast<size_t>(n));
                    for (uint8_t& b : bytes) {
                        b = fill++;
                    }
                    FUZZ_CHECK(stream.read(bytes.data(), 1) == -1);
                    FUZZ_CHECK(stream.write(bytes.data(), n) == n);
                    target.insert(target.end(), bytes.begin(), bytes.end());
                    break;
                }
                int64_t end = static_cast<int64_t>(target.size());
                int64_t request = low;
                if (streamModel.limit != -1) {
                    end = std::min<int64_t>(end, streamModel.limit);
                    request = low < 0 ? 0 : low;
                }
                const int64_t expected = expectedRead(streamModel.position, request, end);
                Guarded destination(static_cast<size_t>(expected));
                FUZZ_CHECK(stream.write(destination.data(), 1) == -1);
                FUZZ_CHECK(stream.read(destination.data(), length) == expected);
                FUZZ_CHECK(sameBytes(destination.data(), target, streamModel.position, expected));
                FUZZ_CHECK(destination.guardIntact());
                streamModel.position += expected;
                break;
            }
            case 8: {  // stream seek, position, atEnd, size
                if (!streamOpen) {
                    FUZZ_CHECK(stream.seek(0) == -1 && stream.position() == -1 &&
                               stream.size() == -1 && stream.atEnd());
                    break;
                }
                const Bytes& target = models[streamModel.which];
                FUZZ_CHECK(stream.size() == static_cast<int64_t>(target.size()));
                FUZZ_CHECK(stream.position() == streamModel.position);
                const int64_t p = input.ConsumeBool() ? position(input, target.size())
                                                      : input.ConsumeIntegral<int64_t>();
                if (streamModel.writing) {
                    FUZZ_CHECK(stream.seek(p) == -1 && stream.atEnd());
                    break;
                }
                int64_t end = static_cast<int64_t>(target.size());
                if (streamModel.limit != -1) {
                    end = std::min<int64_t>(end, streamModel.limit);
                }
                const int32_t low = static_cast<int32_t>(static_cast<uint64_t>(p));
                const int64_t wanted =
                    low < streamModel.start ? streamModel.start : std::min<int64_t>(low, end);
                FUZZ_CHECK(stream.seek(p) == wanted);
                streamModel.position = wanted;
                FUZZ_CHECK(stream.atEnd() == (wanted >= end));
                break;
            }
            default: {  // memory stream
                const int64_t length = requestLength(input);
                const int64_t available = static_cast<int64_t>(text.size()) - memoryOffset;
                const int64_t expected = std::max<int64_t>(std::min(length, available), 0);
                Guarded destination(static_cast<size_t>(expected));
                FUZZ_CHECK(memory.read(destination.data(), length) == expected);
                FUZZ_CHECK(std::memcmp(destination.data(), text.data() + memoryOffset,
                                       static_cast<size_t>(expected)) == 0);
                FUZZ_CHECK(destination.guardIntact());
                memoryOffset += expected;
                const int64_t p = input.ConsumeIntegral<int64_t>();
                if (input.ConsumeBool()) {
                    memoryOffset = std::clamp<int64_t>(p, 0, static_cast<int64_t>(text.size()));
                    FUZZ_CHECK(memory.seek(p) == memoryOffset);
                }
                FUZZ_CHECK(memory.position() == memoryOffset);
                FUZZ_CHECK(memory.atEnd() == (memoryOffset >= static_cast<int64_t>(text.size())));
                break;
            }
        }
        FUZZ_CHECK(buffer.size() == static_cast<int32_t>(model.size()));
        FUZZ_CHECK(buffer.blockCount() ==
                   (static_cast<int32_t>(model.size()) + kwCore::BlockSize - 1) /
                       kwCore::BlockSize);
    }
    return 0;
}
