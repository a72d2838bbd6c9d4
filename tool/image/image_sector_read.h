#pragma once

#include <string>

#include "image/disc_image.h"
#include "verify/audio_reader.h"

namespace zemtra {

// imageSectorRead reads image's sectors as a drive with read offset 0
// delivers them to READ CD: the files' samples as they are, silence where
// the sheet adds it. A read that a file cannot deliver fails; the first
// such failure's reason ("<file>: <reason>") is kept in failure, which
// must outlive the reader.
SectorRead imageSectorRead(DiscImage& image, std::string& failure);

}  // namespace zemtra
