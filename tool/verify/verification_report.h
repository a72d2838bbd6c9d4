#pragma once

#include <vector>

#include "text/shared_string.h"
#include "verify/accuraterip_record.h"
#include "verify/disc_verification.h"

namespace zemtra {

// loadAccurateRipRecord reads the AccurateRip record in the file named
// file into chunks (parseAccurateRipRecord). Returns false, chunks empty,
// when the file does not open, is larger than any record or is no record.
bool loadAccurateRipRecord(const kwCore::SharedString& file, std::vector<AccurateRipChunk>& chunks);

// printVerification prints what a read of the disc's audio found: each
// audio track's checksum line (or that it is unreadable) and, when samples
// were zero-filled, their count; with a record, each readable track's
// verdict and the count of accurate tracks; with the search, the read
// offsets found. Returns the exit status: 0 when every track was read and,
// with a record, is accurate; 2 otherwise.
int printVerification(const VerifyResult& result, const std::vector<AccurateRipChunk>* record,
                      bool search);

}  // namespace zemtra
