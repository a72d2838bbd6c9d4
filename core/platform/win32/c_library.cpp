#include "platform/c_library.h"

namespace kwCore::platform {

size_t libraryCopyFastFrom() noexcept {
    return 257;
}

}  // namespace kwCore::platform
