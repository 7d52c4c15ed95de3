#include "exchange/parameter_file.h"

#include <new>
#include <string>

#include "exchange/file_names.h"

namespace tw {
namespace {

// The end of the data: the end of the file, a read error or the byte 26.
constexpr int kEnd = -1;
constexpr int kEndOfTextByte = 26;

constexpr char kQuote = '"';

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }
bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isEnd(int c) { return c == kEnd; }
bool endsLine(int c) { return isLineEnd(c) || isEnd(c); }

// The character a backslash escape in a quoted value stands for.
char escapedCharacter(int c) {
    switch (c) {
        case 'b': return '\b';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: return static_cast<char>(c);
    }
}

// One call of readParameterEntry: the states of the entry syntax.
//
//  state              reads                        transitions
//  0  start           blanks, tabs, line ends      end: 12   '"': 2   ';': 9   other: 1 with it
//  1  unquoted name   name characters              blank/tab: 3   ':': 4   line end/end: 12
//  2  quoted name     anything                     '"': 3   line end/end: 12
//  3  before ':'      blanks, tabs                 ':': 4   other: 12
//  4  separator       one character                '=': 5   other: 12
//  5  before value    blanks, tabs                 line end/end: 12   '"': 7   other: 6 with it
//  6  unquoted value  value characters             blank/tab/';'/'>': 8   line end/end: 11
//  7  quoted value    anything, '\' escapes        '"' + one more: line end/end finishes, else 8
//                                                  '\' + line end/end: finishes   line end/end: 11
//  8  after value     blanks, tabs, '>' marks      line end: 10 if marked, else 11   ';': 9   other: 12
//  9  comment         up to the line end           line end: 10 if marked, else 11   end: 11
// 10  continuation    blanks, tabs, line ends      end: 11   '"': 7   other: 6 with it
// 11  done
// 12  bad line        the rest of the line
//
// "Finishes" means 10 when the continuation mark is set, else 11.
class EntryReader {
public:
    explicit EntryReader(std::FILE* stream) : stream_(stream) {}

    void run() {
        int state = kStart;
        while (state != kDone && state != kBadLine) {
            switch (state) {
                case kStart: state = start(); break;
                case kUnquotedName: state = unquotedName(); break;
                case kQuotedName: state = quotedName(); break;
                case kBeforeSeparator: state = beforeSeparator(); break;
                case kSeparator: state = separator(); break;
                case kBeforeValue: state = beforeValue(); break;
                case kUnquotedValue: state = unquotedValue(); break;
                case kQuotedValue: state = quotedValue(); break;
                case kAfterValue: state = afterValue(); break;
                case kComment: state = comment(); break;
                case kContinuation: state = continuation(); break;
                default: state = kBadLine; break;
            }
        }
        if (state == kBadLine) skipBadLine();
    }

    std::string& name() { return name_; }
    std::string& value() { return value_; }

private:
    enum State {
        kStart = 0,
        kUnquotedName = 1,
        kQuotedName = 2,
        kBeforeSeparator = 3,
        kSeparator = 4,
        kBeforeValue = 5,
        kUnquotedValue = 6,
        kQuotedValue = 7,
        kAfterValue = 8,
        kComment = 9,
        kContinuation = 10,
        kDone = 11,
        kBadLine = 12,
    };

    int read() {
        const int c = std::getc(stream_);
        current_ = (c == EOF || c == kEndOfTextByte) ? kEnd : c;
        return current_;
    }

    static void collect(std::string& buffer, int c) {
        if (buffer.size() < kMaxParameterText) buffer.push_back(static_cast<char>(c));
    }

    int lineFinished() const { return continued_ ? kContinuation : kDone; }

    int start() {
        while (isBlank(read()) || isLineEnd(current_)) {
        }
        if (isEnd(current_)) return kBadLine;
        if (current_ == kQuote) return kQuotedName;
        if (current_ == ';') return kComment;
        return kUnquotedName;
    }

    int unquotedName() {
        collect(name_, current_);
        for (;;) {
            read();
            if (isBlank(current_)) return kBeforeSeparator;
            if (current_ == ':') return kSeparator;
            if (endsLine(current_)) return kBadLine;
            collect(name_, current_);
        }
    }

    int quotedName() {
        for (;;) {
            read();
            if (current_ == kQuote) return kBeforeSeparator;
            if (endsLine(current_)) return kBadLine;
            collect(name_, current_);
        }
    }

    int beforeSeparator() {
        while (isBlank(read())) {
        }
        return current_ == ':' ? kSeparator : kBadLine;
    }

    int separator() { return read() == '=' ? kBeforeValue : kBadLine; }

    int beforeValue() {
        while (isBlank(read())) {
        }
        if (endsLine(current_)) return kBadLine;
        if (current_ == kQuote) return kQuotedValue;
        return kUnquotedValue;
    }

    int unquotedValue() {
        collect(value_, current_);
        for (;;) {
            read();
            if (isBlank(current_) || current_ == ';' || current_ == '>') return kAfterValue;
            if (endsLine(current_)) return kDone;
            collect(value_, current_);
        }
    }

    int quotedValue() {
        for (;;) {
            read();
            if (current_ == kQuote) return endsLine(read()) ? lineFinished() : kAfterValue;
            if (current_ == '\\') {
                if (endsLine(read())) return lineFinished();
                collect(value_, escapedCharacter(current_));
                continue;
            }
            if (endsLine(current_)) return kDone;
            collect(value_, current_);
        }
    }

    int afterValue() {
        for (;;) {
            read();
            if (isBlank(current_)) continue;
            if (isLineEnd(current_)) return lineFinished();
            if (current_ == ';') return kComment;
            if (current_ != '>') return kBadLine;
            continued_ = true;
        }
    }

    int comment() {
        while (!endsLine(read())) {
        }
        return isLineEnd(current_) ? lineFinished() : kDone;
    }

    int continuation() {
        continued_ = false;
        while (isBlank(read()) || isLineEnd(current_)) {
        }
        if (isEnd(current_)) return kDone;
        if (current_ == kQuote) return kQuotedValue;
        return kUnquotedValue;
    }

    void skipBadLine() {
        while (!endsLine(current_)) read();
    }

    std::FILE* stream_;
    int current_ = kEnd;
    bool continued_ = false;
    std::string name_;
    std::string value_;
};

}  // namespace

std::FILE* openParameterFile(const char* name) { return openInputStream(name); }

int readParameterEntry(std::FILE* stream, ParameterEntry& entry) {
    entry.name.reset();
    entry.value.reset();
    if (stream == nullptr) return 0;
    EntryReader reader(stream);
    try {
        reader.run();
        if (reader.name().empty()) return 0;
        entry.name = std::move(reader.name());
        entry.value = std::move(reader.value());
    } catch (const std::bad_alloc&) {
        // Memory ran short while collecting: the call ends without an entry.
        entry.name.reset();
        entry.value.reset();
        return 0;
    }
    return 1;
}

void closeParameterFile(std::FILE* stream) {
    if (stream != nullptr && !isStandardInput(stream)) std::fclose(stream);
}

}  // namespace tw
