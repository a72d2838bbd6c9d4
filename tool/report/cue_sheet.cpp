#include "report/cue_sheet.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

// kLeadInFrames is the frame address of LBA 0, where the image starts.
constexpr int32_t kLeadInFrames = 150;

// kAlbumFields and kTrackFields are the CD-TEXT fields (their index in
// CdText) in the order the sheet writes them, with their keywords.
struct Field {
    int index;
    const char* keyword;
};
constexpr Field kAlbumFields[] = {{1, "PERFORMER"}, {0, "TITLE"},    {2, "SONGWRITER"},
                                  {3, "COMPOSER"},  {4, "ARRANGER"}, {5, "MESSAGE"}};
constexpr Field kTrackFields[] = {{0, "TITLE"},    {1, "PERFORMER"}, {2, "SONGWRITER"},
                                  {3, "COMPOSER"}, {4, "ARRANGER"},  {5, "MESSAGE"}};

// Sheet gathers the lines.
class Sheet {
  public:
    void line(const char* indent, const kwCore::SharedString& text) {
        text_.append(indent);
        text_.append(text);
        text_.append("\n");
    }

    void texts(const char* indent, const CdText& cdText, int track, const Field (&fields)[6]) {
        for (const Field& field : fields) {
            const kwCore::SharedString value = cueText(cdText.own[track][field.index]);
            if (!value.isEmpty()) {
                line(indent, kwCore::format("%s \"%s\"", field.keyword, value.cStr()));
            }
        }
    }

    // time writes "KEYWORD mm:ss:ff" of frames.
    void time(const char* keyword, int32_t frames) {
        line("    ", kwCore::format("%s %02d:%02d:%02d", keyword, frames / kFramesPerMinute,
                                    frames / kFramesPerSecond % 60, frames % kFramesPerSecond));
    }

    void index(int number, int32_t frames) {
        time(kwCore::format("INDEX %02d", number).cStr(), frames);
    }

    const kwCore::SharedString& text() const { return text_; }

  private:
    kwCore::SharedString text_;
};

// flags returns the FLAGS line's value for a track's control nibble; empty
// when none applies.
kwCore::SharedString flags(unsigned control) {
    kwCore::SharedString value;
    const struct {
        unsigned bit;
        const char* name;
    } kFlags[] = {{2, " DCP"}, {8, " 4CH"}, {1, " PRE"}};
    for (const auto& flag : kFlags) {
        if ((control & flag.bit) != 0) {
            value.append(flag.name);
        }
    }
    return value;
}

// isSettled tells whether every gap and index of a track is known.
bool isSettled(const TrackGaps& gaps) {
    if (gaps.pregap == kUnknownFrames || !gaps.indexesKnown) {
        return false;
    }
    for (const int32_t start : gaps.indexStarts) {
        if (start == kUnknownFrames) {
            return false;
        }
    }
    return true;
}

}  // namespace

kwCore::SharedString cueText(const kwCore::SharedString& text) {
    kwCore::SharedString result;
    for (const char* c = text.cStr(); *c != '\0'; ++c) {
        const auto byte = static_cast<uint8_t>(*c);
        if (byte < 0x20 || byte == 0x7F) {
            continue;
        }
        result.appendChar(byte == '"' ? '\'' : *c);
    }
    int32_t length = result.getLength();
    while (length > 0 && result.charAt(length - 1) == '\\') {
        --length;
    }
    return length == result.getLength() ? result : result.left(length);
}

kwCore::SharedString cueSheet(const DiscInfo& info, const DiscData& data, CueLayout layout,
                              const char* program) {
    const DiscToc& toc = info.toc;
    Sheet sheet;
    sheet.line("", kwCore::format("REM DISCID %08lX", static_cast<unsigned long>(info.discId)));
    sheet.line("", kwCore::format("REM COMMENT \"%s\"", program));
    if (data.catalogNumber[0] != '\0') {
        sheet.line("", kwCore::format("CATALOG %s", data.catalogNumber));
    }
    sheet.texts("", data.cdText, 0, kAlbumFields);
    const bool single = layout == CueLayout::singleFile;
    if (single) {
        sheet.line("", "FILE \"CDImage.wav\" WAVE");
    }

    const int count = tocTrackCount(toc);
    int32_t fileStart = 0;  // the image's first sector, in frames from LBA 0
    bool firstAudio = true;
    for (int k = 0; k < count; ++k) {
        const TocEntry& entry = toc.TrackData[k];
        if (isDataTrack(entry)) {
            continue;
        }
        const int number = toc.FirstTrack + k;
        const TrackGaps& gaps = data.gaps.track[k];
        const int32_t start = trackStart(toc, k) - kLeadInFrames;
        const bool pregap = gaps.pregap != kUnknownFrames && gaps.pregap > 0;
        // Per track, a pregap after a track of the sheet lies in the file
        // before: its INDEX 00 and the track's lines come before its FILE.
        const bool pregapBefore = !single && pregap && !firstAudio;
        const kwCore::SharedString fileLine = kwCore::format("FILE \"Track%02d.wav\" WAVE", number);

        if (!isSettled(gaps)) {
            sheet.line(single || pregapBefore ? "  " : "",
                       kwCore::format("REM GAP UNKNOWN %02d", number));
        }
        if (!single && !pregapBefore) {
            sheet.line("", fileLine);
        }
        sheet.line("  ", kwCore::format("TRACK %02d AUDIO", number));
        if (number <= CdText::kMaxTrack) {
            sheet.texts("    ", data.cdText, number, kTrackFields);
        }
        if (data.isrc[k][0] != '\0') {
            sheet.line("    ", kwCore::format("ISRC %s", data.isrc[k]));
        }
        const kwCore::SharedString flagText = flags(entry.Control);
        if (!flagText.isEmpty()) {
            sheet.line("    ", kwCore::format("FLAGS%s", flagText.cStr()));
        }
        if (single) {
            if (pregap) {
                sheet.index(0, start - gaps.pregap);
            }
        } else if (pregapBefore) {
            sheet.index(0, start - gaps.pregap - fileStart);
            sheet.line("", fileLine);
        } else if (pregap) {
            sheet.time("PREGAP", gaps.pregap);
        }
        if (!single) {
            fileStart = start;
        }
        sheet.index(1, start - fileStart);
        for (size_t i = 0; i < gaps.indexStarts.size(); ++i) {
            if (gaps.indexStarts[i] != kUnknownFrames) {
                sheet.index(static_cast<int>(i) + 2,
                            gaps.indexStarts[i] - kLeadInFrames - fileStart);
            }
        }
        firstAudio = false;
    }
    return sheet.text();
}

}  // namespace zemtra
