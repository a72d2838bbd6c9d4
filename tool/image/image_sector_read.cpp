#include "image/image_sector_read.h"

namespace zemtra {

SectorRead imageSectorRead(DiscImage& image, std::string& failure) {
    return [&image, &failure](int64_t lba, int count, uint8_t* buffer) {
        std::string message;
        if (count < 1 || count > kSectorsPerRead || lba < 0 || lba > image.leadOut() - count) {
            return false;
        }
        if (image.readSectors(static_cast<int32_t>(lba), count, buffer, message)) {
            return true;
        }
        if (failure.empty()) {
            failure = message;
        }
        return false;
    };
}

}  // namespace zemtra
