#include "image/image_sector_read.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "stream/file_stream.h"

namespace zemtra {
namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    kwCore::FileStream file;
    ASSERT_TRUE(file.open(path.string().c_str(), true, false, 0));
    file.write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ImageSectorRead has a sheet of one raw file of 40 sectors, byte i of the file
// being i / 4 (mod 251), in a fresh folder.
class ImageSectorRead : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_);
        bytes_.resize(40 * kSectorBytes);
        for (size_t i = 0; i < bytes_.size(); ++i) {
            bytes_[i] = static_cast<char>(i / 4 % 251);
        }
        writeFile(folder_ / "a.bin", bytes_);
        writeFile(folder_ / "a.cue", "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
        std::string message;
        ASSERT_TRUE(image_->open((folder_ / "a.cue").string(), message)) << message;
    }
    // TearDown closes the image's file first: Windows removes no open file.
    void TearDown() override {
        image_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        ("zemtra-sector-read-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::string bytes_;
    std::unique_ptr<DiscImage> image_ = std::make_unique<DiscImage>();
};

TEST_F(ImageSectorRead, DeliversTheFilesBytesWithinTheImage) {
    std::string failure;
    const SectorRead read = imageSectorRead(*image_, failure);
    std::vector<uint8_t> buffer(kSectorsPerRead * kSectorBytes + 1, 0xEE);
    ASSERT_EQ(read(13, kSectorsPerRead, buffer.data()), ReadStatus::done);
    EXPECT_EQ(0, std::memcmp(buffer.data(), bytes_.data() + 13 * kSectorBytes,
                             kSectorsPerRead * kSectorBytes));
    EXPECT_EQ(buffer.back(), 0xEE);
    ASSERT_EQ(read(39, 1, buffer.data()), ReadStatus::done);
    EXPECT_EQ(0, std::memcmp(buffer.data(), bytes_.data() + 39 * kSectorBytes, kSectorBytes));
    // As READ CD: at most 27 sectors, none outside the image; nothing is
    // written then, and no file failed.
    buffer.assign(buffer.size(), 0xEE);
    EXPECT_EQ(read(0, kSectorsPerRead + 1, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(read(0, 0, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(read(39, 2, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(read(-1, 1, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(read(int64_t{1} << 40, 1, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(buffer.front(), 0xEE);
    EXPECT_TRUE(failure.empty());
}

TEST_F(ImageSectorRead, KeepsTheFirstFilesFailure) {
    std::error_code error;
    std::filesystem::resize_file(folder_ / "a.bin", 20 * kSectorBytes, error);
    if (error) {
        GTEST_SKIP() << "an open file cannot be cut here: " << error.message();
    }
    std::string failure;
    const SectorRead read = imageSectorRead(*image_, failure);
    std::vector<uint8_t> buffer(kSectorsPerRead * kSectorBytes);
    EXPECT_EQ(read(0, 20, buffer.data()), ReadStatus::done);
    EXPECT_EQ(read(19, 2, buffer.data()), ReadStatus::failed);
    EXPECT_NE(failure.find("a.bin: it ends early"), std::string::npos) << failure;
    const std::string first = failure;
    EXPECT_EQ(read(30, 1, buffer.data()), ReadStatus::failed);
    EXPECT_EQ(failure, first);
}

}  // namespace
}  // namespace zemtra
