#include "image/audio_file.h"

// The FLAC reader of a build without libFLAC.

namespace zemtra {

bool flacSupported() noexcept {
    return false;
}

std::unique_ptr<AudioFile> openFlacFile(const std::string&, std::string& reason) {
    reason = "it is a FLAC file, and this build of zemtra reads WAVE files only";
    return nullptr;
}

}  // namespace zemtra
