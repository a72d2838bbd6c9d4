#include "platform/c_library.h"

namespace kwCore::platform {

size_t libraryCopyFastFrom() noexcept {
    return 65;
}

}  // namespace kwCore::platform
