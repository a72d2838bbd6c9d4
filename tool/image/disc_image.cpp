#include "image/disc_image.h"

#include <algorithm>
#include <cstring>

#include "ids/disc_id.h"
#include "platform/console.h"
#include "stream/file_stream.h"

namespace zemtra {

namespace {

// kFileSectorBytes is a sector's size as file offsets count it.
constexpr int64_t kFileSectorBytes = kSectorBytes;

// kLeadOutLimit is the last sector a lead-out may start at: 99:59:74 of
// the disc, less its first two seconds.
constexpr int64_t kLeadOutLimit = (99 * 60 + 59) * 75 + 74 - 150;

// kLeadInFrames is the frame address of sector 0.
constexpr int32_t kLeadInFrames = 150;

// kMaxSheetBytes bounds what is read of a sheet; no ripper writes more.
constexpr int64_t kMaxSheetBytes = 16 * 1024 * 1024;

// SilenceInsert is silence the sheet puts between a file's sectors.
struct SilenceInsert {
    int file = 0;
    int64_t frames = 0;
    int32_t sectors = 0;
};

bool isAbsolutePath(const std::string& name) {
    return (!name.empty() && (name[0] == '/' || name[0] == '\\')) ||
           (name.size() >= 2 && name[1] == ':');
}

// folderOf returns path's folder with its trailing separator, or "".
std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
    kwCore::FileStream file;
    if (!file.open(path.c_str(), false, false, 1)) {
        reason = "it does not open";
        return false;
    }
    const int64_t size = file.size();
    if (size < 0 || size > kMaxSheetBytes) {
        reason = "it is not a cue sheet of at most 16 MiB";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && file.read(bytes.data(), size) != size) {
        reason = "it cannot be read";
        return false;
    }
    return true;
}

void writeNote(const std::string& text) {
    kwCore::platform::writeStandardError(text.data(), text.size());
}

// setAddress writes lba as the minute, second and frame of the disc.
void setAddress(TocEntry& entry, int32_t lba) {
    const int32_t frames = lba + kLeadInFrames;
    entry.Address[0] = 0;
    entry.Address[1] = static_cast<uint8_t>(frames / 4500);
    entry.Address[2] = static_cast<uint8_t>(frames / 75 % 60);
    entry.Address[3] = static_cast<uint8_t>(frames % 75);
}

// textOf returns a sheet's text as CD-TEXT keeps it: control bytes shown
// as "?".
kwCore::SharedString textOf(const std::string& text) {
    std::string shown = text;
    for (char& c : shown) {
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return kwCore::SharedString(shown.c_str());
}

// validValue copies value into field when check, given it in the form of
// a sub-channel answer, finds it valid.
template <size_t N, typename Check>
void validValue(const std::string& value, char (&field)[N], Check check) {
    uint8_t answer[24] = {};
    answer[8] = 0x80;
    if (value.size() == N - 1) {
        std::memcpy(answer + 9, value.data(), N - 1);
        check(answer, sizeof answer, field);
    }
}

}  // namespace

bool DiscImage::fail(int line, const std::string& reason, std::string& message) const {
    message =
        line > 0 ? cuePath_ + ":" + std::to_string(line) + ": " + reason : cuePath_ + ": " + reason;
    return false;
}

bool DiscImage::open(const std::string& cuePath, std::string& message) {
    cuePath_ = cuePath;
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readWholeFile(cuePath, bytes, reason)) {
        return fail(0, reason, message);
    }
    CueError error;
    if (!parseCueSheet(bytes.data(), bytes.size(), sheet_, error)) {
        return fail(error.line, error.reason, message);
    }
    return openFiles(message) && layOut(message);
}

bool DiscImage::openFiles(std::string& message) {
    const std::string folder = folderOf(cuePath_);
    for (size_t f = 0; f < sheet_.files.size(); ++f) {
        const CueFile& entry = sheet_.files[f];
        const std::string path = isAbsolutePath(entry.name) ? entry.name : folder + entry.name;
        std::string reason;
        const bool binary = entry.type == "BINARY";
        std::unique_ptr<AudioFile> file = openAudioFile(path, binary, reason);
        if (file == nullptr) {
            message = path + ": " + reason;
            return false;
        }
        const int64_t bytes = file->byteLength();
        const int64_t rest = bytes % kFileSectorBytes;
        if (rest != 0 && f + 1 < sheet_.files.size()) {
            message = path + ": its " + std::to_string(bytes) +
                      " bytes of audio are not whole sectors of 2352 bytes, which only the last "
                      "file may end in part of";
            return false;
        }
        if (rest != 0) {
            writeNote("Note: " + path + ": the last " + std::to_string(rest) +
                      " bytes fill part of a sector; the rest of it is taken as silence.\n");
        }
        paths_.push_back(path);
        files_.push_back(std::move(file));
        fileSectors_.push_back((bytes + kFileSectorBytes - 1) / kFileSectorBytes);
    }
    return true;
}

bool DiscImage::layOut(std::string& message) {
    const std::vector<CueTrack>& cue = sheet_.tracks;
    for (const CueTrack& track : cue) {
        for (const CueIndex& index : track.indexes) {
            if (index.frames >= fileSectors_[index.file]) {
                return fail(index.line,
                            "INDEX " + std::to_string(index.number) + " of track " +
                                std::to_string(track.number) + " lies past the end of " +
                                paths_[index.file] + " (" +
                                std::to_string(fileSectors_[index.file]) + " sectors)",
                            message);
            }
        }
    }
    // The silence the sheet adds, in disc order: a track's PREGAP before its
    // first index, its POSTGAP before the next track's first index in the
    // same file, or at its file's end.
    std::vector<SilenceInsert> inserts;
    for (size_t t = 0; t < cue.size(); ++t) {
        const CueIndex& first = cue[t].indexes.front();
        if (cue[t].pregap > 0) {
            inserts.push_back({first.file, first.frames, cue[t].pregap});
        }
        if (cue[t].postgap > 0) {
            const CueIndex& last = cue[t].indexes.back();
            const bool sameFile =
                t + 1 < cue.size() && cue[t + 1].indexes.front().file == last.file;
            inserts.push_back(
                {last.file, sameFile ? cue[t + 1].indexes.front().frames : fileSectors_[last.file],
                 cue[t].postgap});
        }
    }
    int64_t lba = 0;
    size_t next = 0;
    auto add = [&](int file, int64_t from, int64_t sectors) {
        if (sectors > 0) {
            segments_.push_back({static_cast<int32_t>(lba), static_cast<int32_t>(sectors), file,
                                 from * kFileSectorBytes});
        }
        lba += sectors;
        return lba <= kLeadOutLimit;
    };
    bool fits = true;
    for (size_t f = 0; f < files_.size() && fits; ++f) {
        int64_t at = 0;
        for (; next < inserts.size() && inserts[next].file == static_cast<int>(f); ++next) {
            fits = fits && add(static_cast<int>(f), at, inserts[next].frames - at);
            at = inserts[next].frames;
            fits = fits && add(-1, 0, inserts[next].sectors);
        }
        fits = fits && add(static_cast<int>(f), at, fileSectors_[f] - at);
    }
    if (!fits) {
        return fail(0, "the image is longer than a CD's 99:59:74", message);
    }
    leadOut_ = static_cast<int32_t>(lba);
    // position maps an index to its disc sector: within its file's segment,
    // after any silence inserted at the same place.
    auto position = [this](const CueIndex& index) {
        const int64_t byte = static_cast<int64_t>(index.frames) * kFileSectorBytes;
        for (const ImageSegment& segment : segments_) {
            if (segment.file == index.file && byte >= segment.byteOffset &&
                byte < segment.byteOffset + int64_t{segment.sectors} * kFileSectorBytes) {
                return segment.lba +
                       static_cast<int32_t>((byte - segment.byteOffset) / kFileSectorBytes);
            }
        }
        return int32_t{0};
    };
    for (const CueTrack& track : cue) {
        ImageTrack out;
        out.number = track.number;
        out.audio = track.mode == CueTrackMode::Audio;
        out.control = static_cast<uint8_t>(track.flags | (out.audio ? 0 : 4));
        out.start = position(*track.find(1));
        out.pregapStart = position(track.indexes.front()) - std::max(track.pregap, 0);
        for (const CueIndex& index : track.indexes) {
            if (index.number >= 2) {
                out.indexes.push_back(position(index));
            }
        }
        tracks_.push_back(std::move(out));
    }
    return true;
}

int32_t DiscImage::trackEnd(size_t k) const noexcept {
    return k + 1 < tracks_.size() ? tracks_[k + 1].start : leadOut_;
}

void DiscImage::describe(DiscInfo& info, DiscData& data, const DiscDataRequest& request) const {
    data.clear();
    info = DiscInfo{};
    info.volumeSerial = 0;
    info.reserved = 0;
    DiscToc& toc = info.toc;
    std::memset(&toc, 0, sizeof toc);
    const int count = static_cast<int>(tracks_.size());
    const int length = 2 + 8 * (count + 1);
    toc.Length[0] = static_cast<uint8_t>(length >> 8);
    toc.Length[1] = static_cast<uint8_t>(length);
    toc.FirstTrack = static_cast<uint8_t>(tracks_.front().number);
    toc.LastTrack = static_cast<uint8_t>(tracks_.back().number);
    for (int k = 0; k <= count; ++k) {
        TocEntry& entry = toc.TrackData[k];
        const ImageTrack& track = tracks_[k < count ? k : count - 1];
        entry.Control = track.control & 0x0F;
        entry.Adr = 1;
        entry.TrackNumber = k < count ? static_cast<uint8_t>(track.number) : 0xAA;
        setAddress(entry, k < count ? track.start : leadOut_);
    }
    info.discId = computeDiscId(toc);
    info.valid = true;

    if (request.catalogNumber) {
        validValue(sheet_.catalog, data.catalogNumber, parseCatalogNumber);
    }
    for (int k = 0; k < count && request.isrcs; ++k) {
        validValue(sheet_.tracks[k].isrc, data.isrc[k], parseTrackIsrc);
    }
    if (request.cdText) {
        for (int field = 0; field < kCdTextFieldCount; ++field) {
            data.cdText.text[0][field] = textOf(sheet_.text[field]);
            data.cdText.own[0][field] = kwCore::SharedString(sheet_.text[field].c_str());
            for (const CueTrack& track : sheet_.tracks) {
                data.cdText.text[track.number][field] = textOf(track.text[field]);
                data.cdText.own[track.number][field] =
                    kwCore::SharedString(track.text[field].c_str());
            }
        }
    }
    if (request.gaps) {
        describeGaps(data.gaps);
    }
}

void DiscImage::describeGaps(DiscGaps& gaps) const {
    // The sheet says every gap: as if a search had settled them all.
    gaps.searched = true;
    for (size_t k = 0; k < tracks_.size(); ++k) {
        const ImageTrack& track = tracks_[k];
        TrackGaps& out = gaps.track[k];
        // As on a disc, the sectors before the first track are its INDEX 00.
        out.pregap = k == 0 ? track.start : track.start - track.pregapStart;
        out.indexesKnown = true;
        out.indexStarts.clear();
        for (const int32_t index : track.indexes) {
            out.indexStarts.push_back(index + kLeadInFrames);
        }
    }
}

bool DiscImage::readSectors(int32_t lba, int32_t count, uint8_t* destination,
                            std::string& message) {
    if (lba < 0 || count < 0 || lba > leadOut_ - count) {
        message = cuePath_ + ": sectors " + std::to_string(lba) + " to " +
                  std::to_string(int64_t{lba} + count) + " lie outside the image";
        return false;
    }
    while (count > 0) {
        if (lastSegment_ >= segments_.size() || segments_[lastSegment_].lba > lba ||
            segments_[lastSegment_].lba + segments_[lastSegment_].sectors <= lba) {
            const auto after = std::upper_bound(
                segments_.begin(), segments_.end(), lba,
                [](int32_t at, const ImageSegment& segment) { return at < segment.lba; });
            lastSegment_ = static_cast<size_t>(after - segments_.begin()) - 1;
        }
        const ImageSegment& segment = segments_[lastSegment_];
        const int32_t within = lba - segment.lba;
        const int32_t take = std::min(count, segment.sectors - within);
        const size_t bytes = static_cast<size_t>(take) * kSectorBytes;
        if (segment.file < 0) {
            std::memset(destination, 0, bytes);
        } else {
            AudioFile& file = *files_[segment.file];
            const int64_t from = segment.byteOffset + int64_t{within} * kFileSectorBytes;
            // Past the file's end lies the padding of its last sector.
            const int64_t stored =
                std::clamp<int64_t>(file.byteLength() - from, 0, static_cast<int64_t>(bytes));
            std::string reason;
            if (stored > 0 && !file.read(from, destination, static_cast<size_t>(stored), reason)) {
                message = paths_[segment.file] + ": " + reason;
                return false;
            }
            std::memset(destination + stored, 0, bytes - static_cast<size_t>(stored));
        }
        destination += bytes;
        lba += take;
        count -= take;
    }
    return true;
}

bool isImageArgument(const kwCore::SharedString& argument) {
    const std::string name = argument.cStr();
    if (name.size() < 4) {
        return false;
    }
    std::string suffix = name.substr(name.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    kwCore::FileStream file;
    return suffix == ".cue" && file.open(name.c_str(), false, false, 1);
}

}  // namespace zemtra
