#include "stream/file_access.h"

#include <cstring>

#include "runtime/fast_copy.h"
#include "runtime/heap.h"

namespace kwCore {

bool openFileStream(const char* name, bool write, bool append, uint32_t share,
                    bool notContentIndexed, platform::FileHandle& handle, StreamMode& mode,
                    char*& fileName) {
    if (name == nullptr) {
        return false;
    }
    // The name is copied first, so a failed copy leaves no file open.
    const size_t length = std::strlen(name);
    auto* copy = static_cast<char*>(heapAllocate(length + 1));
    fastCopy(copy, name, length + 1);
    const platform::FileHandle opened =
        platform::openFile(name, fileDisposition(write, append), share, notContentIndexed);
    if (opened == platform::invalidFileHandle) {
        heapFree(copy);
        return false;
    }
    handle = opened;
    mode = write ? StreamMode::Write : StreamMode::Read;
    fileName = copy;
    return true;
}

}  // namespace kwCore
