#pragma once

#include <vector>

#include "text/shared_string.h"
#include "verify/accuraterip_record.h"
#include "verify/verification.h"

namespace zemtra {

// loadAccurateRipRecord reads the AccurateRip record in the file named
// file into chunks (parseAccurateRipRecord). Returns false, chunks empty,
// when the file does not open, is larger than any record or is no record.
bool loadAccurateRipRecord(const kwCore::SharedString& file, std::vector<AccurateRipChunk>& chunks);

// printVerification prints what a read of the disc's audio found: each
// audio track's checksum line (or that it is unreadable) and, when samples
// were zero-filled, their count; when judged against a record, each
// readable track's verdict and the count of accurate tracks; after the
// search, the read offsets found.
void printVerification(const Verification& verification);

}  // namespace zemtra
