#pragma once

#include <string>

#include "disc/disc_data.h"
#include "disc/disc_info.h"
#include "text/shared_string.h"
#include "verify/verification.h"

namespace zemtra {

// JsonParts names the parts of the document that switches ask for beyond
// what the disc data holds.
struct JsonParts {
    bool pregaps = false;  // each track's pregap (-tocpregap), null when unknown
    bool indexes = false;  // each track's further indexes (-tocindex)
    // verification is what the read of the audio found, when one ran: each
    // audio track's checksums and verdict, the offset fill, the count of
    // accurate tracks and the read offsets found.
    const Verification* verification = nullptr;
};

// jsonReport returns the whole report on the disc in info, read from
// device, on what it carries in data and on the parts that parts asks for,
// as one JSON document: UTF-8, indented by two spaces, LF line ends,
// ending in one LF. It is built from the values the text report prints
// (the verification's too, not computed again); a value the disc did not
// give (a catalog number, an ISRC, a CD-TEXT field, an identifier a TOC
// cannot have) is an absent key. Text is the disc's own, control bytes
// escaped as JSON escapes them (DEL as \u007f too); bytes of device that
// are no UTF-8 become U+FFFD. report.schema.json describes the document.
std::string jsonReport(const kwCore::SharedString& device, const DiscInfo& info,
                       const DiscData& data, const JsonParts& parts = JsonParts{});

// jsonError returns the error document { "error": message } in the same
// form; bytes of message that are no UTF-8 become U+FFFD.
std::string jsonError(const kwCore::SharedString& message);

// printJson writes a document to standard output as it is: its LFs are
// not turned into CR LF.
void printJson(const std::string& document);

}  // namespace zemtra
