#include "image/audio_file.h"

#include <cstring>

#include "image/wav_header.h"
#include "stream/file_stream.h"

namespace zemtra {

namespace {

// FileRange is a file whose bytes are stored as they are from an offset
// on: a WAVE file's data chunk, or the whole of a raw file.
class FileRange : public AudioFile {
  public:
    FileRange(std::unique_ptr<kwCore::FileStream> file, int64_t offset, int64_t length)
        : file_(std::move(file)), offset_(offset), length_(length) {}

    int64_t byteLength() const noexcept override { return length_; }

    bool read(int64_t offset, uint8_t* destination, size_t length, std::string& reason) override {
        const int64_t at = offset_ + offset;
        if (offset < 0 || offset + static_cast<int64_t>(length) > length_ ||
            (file_->position() != at && file_->seek(at) != at)) {
            reason = "it cannot be read at byte " + std::to_string(at);
            return false;
        }
        size_t done = 0;
        while (done < length) {
            const int64_t got =
                file_->read(destination + done, static_cast<int64_t>(length - done));
            if (got <= 0) {
                reason =
                    "it ends early, at byte " + std::to_string(at + static_cast<int64_t>(done));
                return false;
            }
            done += static_cast<size_t>(got);
        }
        return true;
    }

  private:
    std::unique_ptr<kwCore::FileStream> file_;
    int64_t offset_;
    int64_t length_;
};

}  // namespace

std::unique_ptr<AudioFile> openAudioFile(const std::string& path, bool binary,
                                         std::string& reason) {
    auto file = std::make_unique<kwCore::FileStream>();
    if (!file->open(path.c_str(), false, false, 1)) {
        reason = "it does not open";
        return nullptr;
    }
    const int64_t size = file->size();
    char magic[4] = {};
    const bool hasMagic = size >= 4 && file->read(magic, 4) == 4;
    if (hasMagic && std::memcmp(magic, "fLaC", 4) == 0) {
        file.reset();
        return openFlacFile(path, reason);
    }
    if (hasMagic && std::memcmp(magic, "RIFF", 4) == 0) {
        WavLayout layout;
        if (!readWavHeader(*file, size, layout, reason)) {
            return nullptr;
        }
        return std::make_unique<FileRange>(std::move(file), layout.dataOffset, layout.dataLength);
    }
    if (!binary) {
        reason = "it is neither a WAVE nor a FLAC file";
        return nullptr;
    }
    return std::make_unique<FileRange>(std::move(file), 0, size < 0 ? 0 : size);
}

}  // namespace zemtra
