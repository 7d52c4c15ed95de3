#include "settings/message_file.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>

namespace tw {
namespace {

constexpr int kEnd = -1;
constexpr int kEndOfFileByte = 26;

// Reader modes; each is also the state a scan goes on with.
constexpr int kHeaderMode = 1;
constexpr int kSectionMode = 5;

// Results that end a run of the states.
constexpr int kFailed = -22;
constexpr int kSectionOver = -33;
constexpr int kLineRead = -44;
constexpr int kSectionFound = -77;

enum class Keyword { kNone, kDefault, kLanguage, kStart, kEnd };

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }
bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isEnd(int c) { return c == kEnd; }
bool isKeywordLetter(int c) { return c > 0 && std::string_view("adefglnrstu").find(static_cast<char>(c)) != std::string_view::npos; }
bool isEndLetter(int c) { return c == 'd' || c == 'e' || c == 'n'; }

Keyword keywordOf(std::string_view word) {
    if (word == "default") return Keyword::kDefault;
    if (word == "language") return Keyword::kLanguage;
    if (word == "start") return Keyword::kStart;
    if (word == "end") return Keyword::kEnd;
    return Keyword::kNone;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using MessageStream = std::unique_ptr<std::FILE, FileCloser>;

// A value word; one longer than the buffer is kept as "overlong" and then
// equals no language.
struct ValueWord {
    std::string text;
    bool overlong = false;

    bool empty() const { return text.empty() && !overlong; }
    bool equals(const char* language) const { return !overlong && language != nullptr && text == language; }
    void add(int c) {
        if (text.size() + 1 < kMessageValueSize) {
            text.push_back(static_cast<char>(c));
        } else {
            overlong = true;
        }
    }
};

// One header scan or one line read over a message stream.
//
//  state      reads                       transitions
//  0          nothing                     -22
//  1 keyword  blanks, tabs; keyword       blank/tab after a word: default, language, start -> 2;
//             letters                     end -> 2 (resume 1); other word -> 0
//                                         line end: drop the letters   end of file: 0
//                                         other byte: resume 1, 4
//  2 value    blanks, tabs; the word      blank/tab/line end/';' after a word: its evaluation
//                                         (after ';' the line is skipped first)
//                                         line end alone: the mode   ';' alone: resume mode, 4
//                                         end of file: 0
//  3 copy     the text line               line end: -44   end of file: 0
//  4 skip     the rest of the line        line end: resume state   end of file: 0
//  5 line     blanks, tabs; d, e, n       ':': 3   ';': resume 5, 4   blank/tab after "end": 2;
//                                         after another word: resume 5, 4
//                                         line end: drop the letters   end of file: -33
//                                         other byte: resume 5, 4
//
// A value word is evaluated by the keyword before it: "default" chooses it
// when no language is chosen; "language" chooses it when it is the wanted
// one; "start" gives -77 when no language is chosen or it is the chosen one;
// "end" gives -33 in section mode. Anything else gives the mode.
class MessageScanner {
public:
    // Header mode: looks for the section of `wanted` (may be null).
    MessageScanner(std::FILE* stream, const char* wanted)
        : stream_(stream), mode_(kHeaderMode), wanted_(wanted), line_(nullptr) {}
    // Section mode: copies the next text line into `line`.
    MessageScanner(std::FILE* stream, std::string& line)
        : stream_(stream), mode_(kSectionMode), wanted_(nullptr), line_(&line) {}

    // Runs the states from the mode's first state until one yields a
    // negative number, and returns that number.
    int run() {
        int state = mode_;
        while (state >= 0) {
            switch (state) {
                case 1: state = keyword(); break;
                case 2: state = value(); break;
                case 3: state = copy(); break;
                case 4: state = skip(); break;
                case 5: state = line(); break;
                default: state = kFailed; break;
            }
        }
        return state;
    }

private:
    int read() {
        const int c = std::getc(stream_);
        return (c == EOF || c == kEndOfFileByte) ? kEnd : c;
    }

    // The end of the file (or the byte 26) ends the run through state 0.
    static int atEndOfFile() { return 0; }

    int skipLineResuming(int state) {
        resume_ = state;
        return 4;
    }

    int keyword() {
        std::string letters;
        for (;;) {
            const int c = read();
            if (isEnd(c)) return atEndOfFile();
            if (isBlank(c)) {
                if (letters.empty()) continue;
                kind_ = keywordOf(letters);
                // A word of keyword letters that names no keyword ends the scan.
                if (kind_ == Keyword::kNone) return 0;
                if (kind_ == Keyword::kEnd) resume_ = 1;
                return 2;
            }
            if (isLineEnd(c)) {
                letters.clear();
            } else if (isKeywordLetter(c)) {
                if (letters.size() + 1 < kMessageKeywordSize) letters.push_back(static_cast<char>(c));
            } else {
                return skipLineResuming(1);
            }
        }
    }

    int value() {
        ValueWord word;
        for (;;) {
            const int c = read();
            if (isEnd(c)) return atEndOfFile();
            if (isBlank(c)) {
                if (word.empty()) continue;
                return evaluate(word);
            }
            if (isLineEnd(c)) return word.empty() ? mode_ : evaluate(word);
            if (c == ';') {
                if (word.empty()) return skipLineResuming(mode_);
                const int result = evaluate(word);
                skipRestOfLine();
                return result;
            }
            word.add(c);
        }
    }

    int copy() {
        for (;;) {
            const int c = read();
            if (isLineEnd(c)) return kLineRead;
            if (isEnd(c)) return atEndOfFile();
            if (line_->size() + 1 < kMessageLineSize) line_->push_back(static_cast<char>(c));
        }
    }

    int skip() {
        for (;;) {
            const int c = read();
            if (isLineEnd(c)) return resume_;
            if (isEnd(c)) return atEndOfFile();
        }
    }

    int line() {
        std::string letters;
        for (;;) {
            const int c = read();
            if (isBlank(c)) {
                if (letters.empty()) continue;
                if (letters == "end") {
                    kind_ = Keyword::kEnd;
                    return 2;
                }
                return skipLineResuming(5);
            }
            if (c == ':') return 3;
            if (c == ';') return skipLineResuming(5);
            if (isLineEnd(c)) {
                letters.clear();
            } else if (isEnd(c)) {
                return kSectionOver;
            } else if (isEndLetter(c)) {
                if (letters.size() + 1 < kMessageKeywordSize) letters.push_back(static_cast<char>(c));
            } else {
                return skipLineResuming(5);
            }
        }
    }

    int evaluate(const ValueWord& word) {
        switch (kind_) {
            case Keyword::kDefault:
                if (!chosen_ && !word.overlong) chosen_ = word.text;
                break;
            case Keyword::kLanguage:
                if (word.equals(wanted_)) chosen_ = word.text;
                break;
            case Keyword::kStart:
                if (!chosen_ || word.equals(chosen_->c_str())) return kSectionFound;
                break;
            case Keyword::kEnd:
                if (mode_ == kSectionMode) return kSectionOver;
                break;
            case Keyword::kNone:
                break;
        }
        return mode_;
    }

    void skipRestOfLine() {
        int c = read();
        while (!isLineEnd(c) && !isEnd(c)) c = read();
    }

    std::FILE* stream_;
    int mode_;
    const char* wanted_;
    std::string* line_;
    std::optional<std::string> chosen_;
    Keyword kind_ = Keyword::kNone;
    int resume_ = 0;
};

// One handle: the open file (or none) and whether it stands inside the
// wanted section and not yet at its end.
struct MessageHandle {
    MessageStream file;
    bool inSection = false;
};

std::array<MessageHandle, kMessageHandleCount> handles;
int openCount = 0;

MessageHandle* handleAt(int handle) {
    const int index = handle - kFirstMessageHandle;
    if (index < 0 || index >= kMessageHandleCount) return nullptr;
    MessageHandle& slot = handles[static_cast<std::size_t>(index)];
    return slot.file ? &slot : nullptr;
}

int freeSlot() {
    if (openCount == 0) {
        for (MessageHandle& slot : handles) {
            slot.file.reset();
            slot.inSection = false;
        }
    }
    for (int index = 0; index < kMessageHandleCount; ++index) {
        if (!handles[static_cast<std::size_t>(index)].file) return index;
    }
    return -1;
}

}  // namespace

int adoptMessageStream(std::FILE* stream, const char* language) {
    MessageStream owned(stream);
    if (!owned) return kUnreadableMessageFile;
    const int index = freeSlot();
    if (index < 0) return kNoFreeMessageHandle;
    MessageHandle& slot = handles[static_cast<std::size_t>(index)];
    slot.file = std::move(owned);
    ++openCount;
    slot.inSection = MessageScanner(slot.file.get(), language).run() == kSectionFound;
    return kFirstMessageHandle + index;
}

int openMessageFile(const char* path, const char* language) {
    if (freeSlot() < 0) return kNoFreeMessageHandle;
    if (path == nullptr) return kUnreadableMessageFile;
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return kUnreadableMessageFile;
    return adoptMessageStream(stream, language);
}

int readMessageLine(int handle, std::string& line) {
    line.clear();
    MessageHandle* slot = handleAt(handle);
    if (slot == nullptr || !slot->inSection) return 0;
    if (MessageScanner(slot->file.get(), line).run() == kLineRead) return 1;
    slot->inSection = false;
    line.clear();
    return 0;
}

void closeMessageFile(int handle) {
    MessageHandle* slot = handleAt(handle);
    if (slot == nullptr) return;
    slot->file.reset();
    slot->inSection = false;
    --openCount;
}

int showMessageSection(const char* path, const char* language) {
    const int handle = openMessageFile(path, language);
    if (handle < 0) return 0;
    std::string line;
    const int shown = readMessageLine(handle, line);
    if (shown == 1) {
        while (readMessageLine(handle, line) == 1) {
        }
    }
    closeMessageFile(handle);
    return shown;
}

}  // namespace tw
