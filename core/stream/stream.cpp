#include "stream/stream.h"

namespace kwCore {

Stream::~Stream() {
    delete pairs;  // the array's destructor releases every key and the storage
}

int64_t Stream::read(void*, int64_t) {
    return -1;
}

int64_t Stream::write(const void*, int64_t) {
    return -1;
}

int64_t Stream::reservedOperation(int64_t) {
    return -1;
}

int64_t Stream::seek(int64_t) {
    return -1;
}

}  // namespace kwCore
