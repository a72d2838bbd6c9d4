// Uses an installed kwCore: a formatted string, an MD5 checksum stream and a
// buffer whose blocks come from a pool.
#include <cstdio>

#include "buffer/buffer.h"
#include "buffer/pool_buffer_pool.h"
#include "stream/md5_stream.h"
#include "text/shared_string.h"
#include "text/string_format.h"

int main() {
    kwCore::SharedString text;
    text.formatInto("%s %d", "kwCore", 42);

    kwCore::Md5Stream md5;
    md5.write(text.cStr(), text.getLength());
    kwCore::SharedString hex;
    for (uint8_t byte : md5.digest()) {
        hex.append(kwCore::format("%02x", byte));
    }

    kwCore::PoolBufferPool pool;
    kwCore::PoolBuffer buffer(&pool);
    for (int i = 0; i < 1000; ++i) {
        buffer.append(text.cStr(), text.getLength());
    }
    int32_t outstanding = 0, capacity = 0, cached = 0;
    pool.getUsage(outstanding, capacity, cached);

    std::printf("%s\nmd5 %s\n%d bytes in %d pooled blocks\n", text.cStr(), hex.cStr(),
                buffer.size(), outstanding);
    return 0;
}
