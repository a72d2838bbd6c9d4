#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zemtra {

// AudioFile is one file an image names, read as the bytes of CD sectors:
// 16-bit little-endian stereo samples, left first (a data track's file:
// its raw sectors). Only a small window of it is ever held in memory.
class AudioFile {
  public:
    virtual ~AudioFile() = default;

    // byteLength is the count of bytes the file gives.
    virtual int64_t byteLength() const noexcept = 0;

    // read copies length bytes from offset (a multiple of 4, offset +
    // length within byteLength) into destination. Reading on from where
    // the last read ended is the fast path. Returns false, with reason,
    // when the file cannot deliver them.
    virtual bool read(int64_t offset, uint8_t* destination, size_t length, std::string& reason) = 0;
};

// openAudioFile opens path by its content: a file beginning "fLaC" is FLAC,
// one beginning "RIFF" is WAVE, any other is raw sectors when binary (its
// FILE type is BINARY) and refused otherwise. Returns null, with reason (no
// final full stop), when the file does not open or holds anything else
// than 16-bit stereo at 44,100 Hz.
std::unique_ptr<AudioFile> openAudioFile(const std::string& path, bool binary, std::string& reason);

// flacSupported tells whether this build reads FLAC files.
bool flacSupported() noexcept;

// openFlacFile opens path as FLAC through libFLAC (openAudioFile's part for
// FLAC); null with reason otherwise, and always in a build without it.
std::unique_ptr<AudioFile> openFlacFile(const std::string& path, std::string& reason);

}  // namespace zemtra
