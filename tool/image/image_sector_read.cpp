#include "image/image_sector_read.h"

namespace zemtra {

SectorRead imageSectorRead(DiscImage& image, std::string& failure) {
    return [&image, &failure](int64_t lba, int count, uint8_t* buffer) -> ReadStatus {
        std::string message;
        if (count < 1 || count > kSectorsPerRead || lba < 0 || lba > image.leadOut() - count) {
            return ReadStatus::failed;
        }
        if (image.readSectors(static_cast<int32_t>(lba), count, buffer, message)) {
            return ReadStatus::done;
        }
        if (failure.empty()) {
            failure = message;
        }
        return ReadStatus::failed;
    };
}

}  // namespace zemtra
