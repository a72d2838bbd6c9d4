#include <zlib.h>

#include "stream/adler32_crc32_stream.h"
#include "stream/adler32_stream.h"
#include "stream/crc32_stream.h"
#include "stream/crc64_stream.h"
#include "stream/md5_stream.h"

namespace kwCore {

namespace {

// zlib's adler32 starts again (returns 1) for null data by itself.
uint32_t adler32Of(uint32_t adler, const void* data, uint32_t n) noexcept {
    return static_cast<uint32_t>(adler32(adler, static_cast<const Bytef*>(data), n));
}

uint32_t crc32Of(uint32_t crc, const void* data, uint32_t n) noexcept {
    if (data == nullptr) {
        return Crc32Stream::kStart;
    }
    return static_cast<uint32_t>(crc32(crc, static_cast<const Bytef*>(data), n));
}

}  // namespace

int64_t Adler32Stream::write(const void* data, int64_t length) {
    adler = adler32Of(adler, data, lowTransferLength(length));
    return length;
}

int64_t Crc32Stream::write(const void* data, int64_t length) {
    crc = crc32Of(crc, data, lowTransferLength(length));
    return length;
}

int64_t Adler32Crc32Stream::write(const void* data, int64_t length) {
    const uint32_t n = lowTransferLength(length);
    adler = adler32Of(adler, data, n);
    crc = crc32Of(crc, data, n);
    return length;
}

int64_t Crc64Stream::write(const void* data, int64_t length) {
    crc = crc64Update(lowTransferLength(length), data, crc);
    return length;
}

int64_t Md5Stream::write(const void* data, int64_t length) {
    md5Update(context, data, lowTransferLength(length));
    return length;
}

}  // namespace kwCore
