#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/audio_file.h"
#include "stream/file_stream.h"

// The FLAC reader: libFLAC's stream decoder over a kwCore file stream,
// holding one decoded frame at a time.

namespace zemtra {

namespace {

class FlacFile : public AudioFile {
  public:
    FlacFile() = default;
    ~FlacFile() override {
        if (decoder_ != nullptr) {
            FLAC__stream_decoder_delete(decoder_);
        }
    }
    FlacFile(const FlacFile&) = delete;
    FlacFile& operator=(const FlacFile&) = delete;

    bool open(const std::string& path, std::string& reason);

    int64_t byteLength() const noexcept override { return totalSamples_ * 4; }

    bool read(int64_t offset, uint8_t* destination, size_t length, std::string& reason) override;

  private:
    static FLAC__StreamDecoderReadStatus onRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                                size_t* bytes, void* self);
    static FLAC__StreamDecoderSeekStatus onSeek(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                                void* self);
    static FLAC__StreamDecoderTellStatus onTell(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                                void* self);
    static FLAC__StreamDecoderLengthStatus onLength(const FLAC__StreamDecoder*,
                                                    FLAC__uint64* length, void* self);
    static FLAC__bool onEof(const FLAC__StreamDecoder*, void* self);
    static FLAC__StreamDecoderWriteStatus onWrite(const FLAC__StreamDecoder*,
                                                  const FLAC__Frame* frame,
                                                  const FLAC__int32* const buffer[], void* self);
    static void onMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                           void* self);
    static void onError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status,
                        void* self);

    // decodeAt makes the held frame the one holding byte offset.
    bool decodeAt(int64_t offset, std::string& reason);

    kwCore::FileStream file_;
    FLAC__StreamDecoder* decoder_ = nullptr;
    int64_t totalSamples_ = 0;
    std::string formatProblem_;   // what the stream info said that is not CD audio
    bool damaged_ = false;        // the decoder met a damaged frame
    std::vector<uint8_t> frame_;  // the held frame's samples as bytes
    int64_t frameStart_ = 0;      // the byte offset of frame_'s first byte
    int64_t nextSample_ = 0;      // the sample the next decoded frame starts at
};

FLAC__StreamDecoderReadStatus FlacFile::onRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                               size_t* bytes, void* self) {
    auto& file = static_cast<FlacFile*>(self)->file_;
    const int64_t got = file.read(buffer, static_cast<int64_t>(*bytes));
    if (got < 0) {
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    *bytes = static_cast<size_t>(got);
    return got == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                    : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus FlacFile::onSeek(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                               void* self) {
    const auto at = static_cast<int64_t>(offset);
    return static_cast<FlacFile*>(self)->file_.seek(at) == at
               ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
               : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus FlacFile::onTell(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                               void* self) {
    const int64_t at = static_cast<FlacFile*>(self)->file_.position();
    if (at < 0) {
        return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    }
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus FlacFile::onLength(const FLAC__StreamDecoder*, FLAC__uint64* length,
                                                   void* self) {
    const int64_t size = static_cast<FlacFile*>(self)->file_.size();
    if (size < 0) {
        return FLAC__STREAM_DECODER_LENGTH_STATUS_ERROR;
    }
    *length = static_cast<FLAC__uint64>(size);
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool FlacFile::onEof(const FLAC__StreamDecoder*, void* self) {
    return static_cast<FlacFile*>(self)->file_.atEnd();
}

FLAC__StreamDecoderWriteStatus FlacFile::onWrite(const FLAC__StreamDecoder*,
                                                 const FLAC__Frame* frame,
                                                 const FLAC__int32* const buffer[], void* self) {
    auto& file = *static_cast<FlacFile*>(self);
    const FLAC__FrameHeader& header = frame->header;
    if (header.channels != 2 || header.bits_per_sample != 16) {
        file.formatProblem_ = "a frame is not 16-bit stereo";
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    const int64_t first = header.number_type == FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER
                              ? static_cast<int64_t>(header.number.sample_number)
                              : file.nextSample_;
    file.frameStart_ = first * 4;
    file.nextSample_ = first + header.blocksize;
    file.frame_.resize(static_cast<size_t>(header.blocksize) * 4);
    uint8_t* out = file.frame_.data();
    for (unsigned i = 0; i < header.blocksize; ++i) {
        for (int channel = 0; channel < 2; ++channel) {
            const auto sample = static_cast<uint16_t>(buffer[channel][i]);
            *out++ = static_cast<uint8_t>(sample);
            *out++ = static_cast<uint8_t>(sample >> 8);
        }
    }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacFile::onMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                          void* self) {
    auto& file = *static_cast<FlacFile*>(self);
    if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) {
        return;
    }
    const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
    if (info.channels != 2 || info.bits_per_sample != 16 || info.sample_rate != 44100) {
        file.formatProblem_ = "it holds " + std::to_string(info.bits_per_sample) + "-bit, " +
                              std::to_string(info.channels) + " channels at " +
                              std::to_string(info.sample_rate) +
                              " Hz, not 16-bit stereo at 44100 Hz";
    } else if (info.total_samples == 0) {
        file.formatProblem_ = "its stream info gives no sample count";
    }
    file.totalSamples_ = static_cast<int64_t>(info.total_samples);
}

void FlacFile::onError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self) {
    static_cast<FlacFile*>(self)->damaged_ = true;
}

bool FlacFile::open(const std::string& path, std::string& reason) {
    if (!file_.open(path.c_str(), false, false, 1)) {
        reason = "it does not open";
        return false;
    }
    decoder_ = FLAC__stream_decoder_new();
    if (decoder_ == nullptr ||
        FLAC__stream_decoder_init_stream(decoder_, onRead, onSeek, onTell, onLength, onEof, onWrite,
                                         onMetadata, onError,
                                         this) != FLAC__STREAM_DECODER_INIT_STATUS_OK ||
        !FLAC__stream_decoder_process_until_end_of_metadata(decoder_) || totalSamples_ == 0 ||
        !formatProblem_.empty()) {
        reason = !formatProblem_.empty() ? formatProblem_ : "it is not a readable FLAC stream";
        return false;
    }
    return true;
}

bool FlacFile::decodeAt(int64_t offset, std::string& reason) {
    if (offset == nextSample_ * 4) {
        // The next frame in the stream: decode on.
        frame_.clear();
        if (!FLAC__stream_decoder_process_single(decoder_)) {
            frame_.clear();
        }
    } else {
        frame_.clear();
        nextSample_ = offset / 4;
        if (!FLAC__stream_decoder_seek_absolute(decoder_, static_cast<FLAC__uint64>(offset / 4))) {
            FLAC__stream_decoder_flush(decoder_);
            frame_.clear();
        }
    }
    if (frame_.empty() || damaged_ || !formatProblem_.empty() || offset < frameStart_ ||
        offset >= frameStart_ + static_cast<int64_t>(frame_.size())) {
        reason = !formatProblem_.empty() ? formatProblem_
                                         : "its FLAC stream is damaged or ends early, at sample " +
                                               std::to_string(offset / 4);
        frame_.clear();
        return false;
    }
    return true;
}

bool FlacFile::read(int64_t offset, uint8_t* destination, size_t length, std::string& reason) {
    if (offset < 0 || offset + static_cast<int64_t>(length) > byteLength()) {
        reason = "it cannot be read at sample " + std::to_string(offset / 4);
        return false;
    }
    while (length > 0) {
        const int64_t frameEnd = frameStart_ + static_cast<int64_t>(frame_.size());
        if (frame_.empty() || offset < frameStart_ || offset >= frameEnd) {
            if (!decodeAt(offset, reason)) {
                return false;
            }
            continue;
        }
        const size_t from = static_cast<size_t>(offset - frameStart_);
        const size_t take = std::min(length, frame_.size() - from);
        std::memcpy(destination, frame_.data() + from, take);
        destination += take;
        offset += static_cast<int64_t>(take);
        length -= take;
    }
    return true;
}

}  // namespace

bool flacSupported() noexcept {
    return true;
}

std::unique_ptr<AudioFile> openFlacFile(const std::string& path, std::string& reason) {
    auto file = std::make_unique<FlacFile>();
    if (!file->open(path, reason)) {
        return nullptr;
    }
    return file;
}

}  // namespace zemtra
