#include <array>
#include <cstring>
#include <string_view>

#include "image/cue_sheet.h"
#include "image/cue_text.h"

namespace zemtra {

namespace {

constexpr int kMaxTrackNumber = 99;
constexpr int kMaxIndexNumber = 99;

// kTextCommands are the text commands in the order of CD-TEXT's fields.
constexpr std::array<std::string_view, kCdTextFieldCount> kTextCommands = {
    "TITLE", "PERFORMER", "SONGWRITER", "COMPOSER", "ARRANGER", "MESSAGE"};

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

bool sameWord(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i]) {
            return false;
        }
    }
    return true;
}

// LineTokens hands out the values of one line in turn.
class LineTokens {
  public:
    explicit LineTokens(std::string_view line) : line_(line) {}

    // next takes the next value into token: a quoted string's content as
    // written (a backslash keeps the character after it inside the string;
    // a string left open runs to the line's end) or a bare word. False at
    // the line's end.
    bool next(std::string& token) {
        skipBlanks();
        if (at_ >= line_.size()) {
            return false;
        }
        const size_t start = at_;
        if (line_[at_] == '"') {
            ++at_;
            while (at_ < line_.size() && line_[at_] != '"') {
                at_ += line_[at_] == '\\' && at_ + 1 < line_.size() ? 2 : 1;
            }
            token.assign(line_.substr(start + 1, at_ - start - 1));
            at_ = at_ < line_.size() ? at_ + 1 : at_;
            return true;
        }
        while (at_ < line_.size() && !isBlank(line_[at_])) {
            ++at_;
        }
        token.assign(line_.substr(start, at_ - start));
        return true;
    }

    // text takes a text value: a quoted string, or the rest of the line
    // without its trailing blanks.
    bool text(std::string& token) {
        skipBlanks();
        if (at_ < line_.size() && line_[at_] == '"') {
            return next(token);
        }
        size_t end = line_.size();
        while (end > at_ && isBlank(line_[end - 1])) {
            --end;
        }
        token.assign(line_.substr(at_, end - at_));
        at_ = line_.size();
        return !token.empty();
    }

  private:
    void skipBlanks() {
        while (at_ < line_.size() && isBlank(line_[at_])) {
            ++at_;
        }
    }

    std::string_view line_;
    size_t at_ = 0;
};

// parseNumber reads a number of one or two digits within [low, high].
bool parseNumber(const std::string& text, int low, int high, int& number) noexcept {
    if (text.empty() || text.size() > 2) {
        return false;
    }
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    return number >= low && number <= high;
}

// SheetParser reads a sheet line by line into its CueSheet.
class SheetParser {
  public:
    SheetParser(CueSheet& sheet, CueError& error) : sheet_(sheet), error_(error) {}

    bool line(std::string_view text, int number);
    bool finish(int lastLine);

  private:
    bool fail(std::string reason) {
        error_.line = line_;
        error_.reason = std::move(reason);
        return false;
    }
    CueTrack* track() { return sheet_.tracks.empty() ? nullptr : &sheet_.tracks.back(); }
    bool needTrack(std::string_view command) {
        return track() != nullptr || fail(std::string(command) + " before the first TRACK");
    }
    bool needTime(LineTokens& tokens, std::string_view command, int32_t& frames) {
        std::string value;
        if (!tokens.next(value)) {
            return fail(std::string(command) + " without a time");
        }
        return parseCueTime(value, frames) ||
               fail("time \"" + value +
                    "\" does not parse (mm:ss:ff, seconds below 60, frames below 75)");
    }
    bool closeTrack();
    bool file(LineTokens& tokens);
    bool newTrack(LineTokens& tokens);
    bool index(LineTokens& tokens);
    void flags(LineTokens& tokens);

    CueSheet& sheet_;
    CueError& error_;
    int line_ = 0;
};

bool SheetParser::closeTrack() {
    const CueTrack* last = track();
    if (last == nullptr || last->find(1) != nullptr) {
        return true;
    }
    line_ = last->line;
    return fail("track " + std::to_string(last->number) + " has no INDEX 01");
}

bool SheetParser::file(LineTokens& tokens) {
    CueFile file;
    file.line = line_;
    if (!tokens.next(file.name) || file.name.empty()) {
        return fail("FILE without a name");
    }
    if (!tokens.next(file.type)) {
        return fail("FILE without a type");
    }
    sheet_.files.push_back(std::move(file));
    return true;
}

bool SheetParser::newTrack(LineTokens& tokens) {
    if (sheet_.files.empty()) {
        return fail("TRACK before the first FILE");
    }
    if (!closeTrack()) {
        return false;
    }
    if (sheet_.tracks.size() >= static_cast<size_t>(kMaxTrackNumber)) {
        return fail("more than 99 tracks");
    }
    std::string number;
    std::string mode;
    CueTrack track;
    track.line = line_;
    if (!tokens.next(number) || !parseNumber(number, 1, kMaxTrackNumber, track.number)) {
        return fail("track number \"" + number + "\" is not 1 to 99");
    }
    if (!sheet_.tracks.empty() && track.number != sheet_.tracks.back().number + 1) {
        return fail("tracks out of order: track " + std::to_string(track.number) +
                    " follows track " + std::to_string(sheet_.tracks.back().number));
    }
    if (!tokens.next(mode)) {
        return fail("TRACK without a mode");
    }
    if (sameWord(mode, "AUDIO")) {
        track.mode = CueTrackMode::Audio;
    } else if (sameWord(mode, "MODE1/2352")) {
        track.mode = CueTrackMode::Mode1Raw;
    } else if (sameWord(mode, "MODE2/2352")) {
        track.mode = CueTrackMode::Mode2Raw;
    } else {
        return fail("track mode \"" + mode + "\" is not AUDIO, MODE1/2352 or MODE2/2352");
    }
    sheet_.tracks.push_back(std::move(track));
    return true;
}

bool SheetParser::index(LineTokens& tokens) {
    if (!needTrack("INDEX")) {
        return false;
    }
    std::string number;
    CueIndex index;
    index.line = line_;
    index.file = static_cast<int>(sheet_.files.size()) - 1;
    if (!tokens.next(number) || !parseNumber(number, 0, kMaxIndexNumber, index.number)) {
        return fail("index number \"" + number + "\" is not 0 to 99");
    }
    if (!needTime(tokens, "INDEX", index.frames)) {
        return false;
    }
    CueTrack& current = *track();
    if (!current.indexes.empty() && index.number <= current.indexes.back().number) {
        return fail("indexes out of order: INDEX " + number + " follows INDEX " +
                    std::to_string(current.indexes.back().number));
    }
    if (!current.indexes.empty() && index.number != current.indexes.back().number + 1) {
        return fail("INDEX " + number + " follows INDEX " +
                    std::to_string(current.indexes.back().number) + ": indexes must not skip");
    }
    // The index before this one in the sheet, in this track or the last one.
    const CueIndex* before = !current.indexes.empty() ? &current.indexes.back() : nullptr;
    if (before == nullptr && sheet_.tracks.size() > 1) {
        const CueTrack& previous = sheet_.tracks[sheet_.tracks.size() - 2];
        before = &previous.indexes.back();
    }
    if (before != nullptr && before->file == index.file && index.frames <= before->frames) {
        return fail("INDEX time is not after the index before it in the same file");
    }
    current.indexes.push_back(index);
    return true;
}

void SheetParser::flags(LineTokens& tokens) {
    std::string word;
    while (tokens.next(word)) {
        if (sameWord(word, "PRE")) {
            track()->flags |= 1;
        } else if (sameWord(word, "DCP")) {
            track()->flags |= 2;
        } else if (sameWord(word, "4CH")) {
            track()->flags |= 8;
        }
    }
}

bool SheetParser::line(std::string_view text, int number) {
    line_ = number;
    if (text.size() > kCueMaxLineLength) {
        return fail("line longer than 65536 bytes");
    }
    if (text.find('\0') != std::string_view::npos) {
        return fail("NUL byte in the line");
    }
    LineTokens tokens(text);
    std::string command;
    if (!tokens.next(command) || sameWord(command, "REM")) {
        return true;
    }
    for (int field = 0; field < kCdTextFieldCount; ++field) {
        if (sameWord(command, kTextCommands[field])) {
            std::string& target = track() != nullptr ? track()->text[field] : sheet_.text[field];
            tokens.text(target);
            return true;
        }
    }
    if (sameWord(command, "FILE")) {
        return file(tokens);
    }
    if (sameWord(command, "TRACK")) {
        return newTrack(tokens);
    }
    if (sameWord(command, "INDEX")) {
        return index(tokens);
    }
    if (sameWord(command, "CATALOG")) {
        tokens.next(sheet_.catalog);
        return true;
    }
    if (sameWord(command, "ISRC")) {
        return needTrack(command) && (tokens.next(track()->isrc), true);
    }
    if (sameWord(command, "FLAGS")) {
        return needTrack(command) && (flags(tokens), true);
    }
    if (sameWord(command, "PREGAP")) {
        return needTrack(command) && needTime(tokens, "PREGAP", track()->pregap);
    }
    if (sameWord(command, "POSTGAP")) {
        return needTrack(command) && needTime(tokens, "POSTGAP", track()->postgap);
    }
    return true;
}

bool SheetParser::finish(int lastLine) {
    if (sheet_.tracks.empty()) {
        line_ = lastLine;
        return fail("no TRACK in the sheet");
    }
    return closeTrack();
}

}  // namespace

const CueIndex* CueTrack::find(int number) const noexcept {
    for (const CueIndex& index : indexes) {
        if (index.number == number) {
            return &index;
        }
    }
    return nullptr;
}

bool parseCueTime(const std::string& text, int32_t& frames) noexcept {
    int32_t parts[3] = {};
    size_t digits[3] = {};
    size_t part = 0;
    for (const char c : text) {
        if (c == ':') {
            if (++part == 3) {
                return false;
            }
        } else if (c >= '0' && c <= '9') {
            if (++digits[part] > (part == 0 ? 4u : 2u)) {
                return false;
            }
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return false;
        }
    }
    if (part != 2 || digits[0] == 0 || digits[1] == 0 || digits[2] == 0 || parts[1] >= 60 ||
        parts[2] >= 75) {
        return false;
    }
    frames = (parts[0] * 60 + parts[1]) * 75 + parts[2];
    return true;
}

bool parseCueSheet(const uint8_t* data, size_t size, CueSheet& sheet, CueError& error) {
    sheet = CueSheet{};
    error = CueError{};
    const std::string text = decodeCueText(data, size);
    SheetParser parser(sheet, error);
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        end = end == std::string::npos ? text.size() : end;
        if (end > at && text[end - 1] == '\r') {
            --end;
        }
        if (!parser.line(std::string_view(text).substr(at, end - at), ++number)) {
            return false;
        }
        at = next;
    }
    return parser.finish(number == 0 ? 1 : number);
}

}  // namespace zemtra
