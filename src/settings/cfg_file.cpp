#include "settings/cfg_file.h"

#include <memory>
#include <string>

#include "settings/parameter_list.h"

namespace tw {
namespace {

constexpr int kEndOfFileByte = 26;

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }
bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool startsComment(int c) { return c == '#'; }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The ".CFG" line reader, one byte at a time.
//
//  state          blank/tab           line end       '#'                other byte
//  before name    skip                end entry      comment, resume    start name
//  name           -> before value     end entry      comment, resume    add to name
//  before value   skip                end entry      comment, resume    start value
//  value          add one space       end entry      comment, resume    add to value
//  comment        skip                resume state   skip               skip
//
// The end of the file or the byte 26 ends the entry and the file. The line
// end that closes a comment only resumes the interrupted state, so with CR LF
// line ends the LF ends the entry, while with single line ends the entry goes
// on with the next line. "End entry" stores a named entry with its trailing
// spaces removed and starts the next one.
class CfgReader {
public:
    CfgReader(Parameter* list, std::uint16_t level) : list_(list), level_(level) {}

    Parameter* read(std::FILE* stream) {
        for (;;) {
            const int c = std::getc(stream);
            if (c == EOF || c == kEndOfFileByte) break;
            step(c);
        }
        endEntry();
        return list_;
    }

private:
    enum class State { kBeforeName, kName, kBeforeValue, kValue, kComment };

    void step(int c) {
        switch (state_) {
            case State::kBeforeName:
                if (endsEntryOrStartsComment(c) || isBlank(c)) return;
                collect(name_, kCfgNameSize, c);
                state_ = State::kName;
                return;
            case State::kName:
                if (endsEntryOrStartsComment(c)) return;
                if (isBlank(c)) {
                    state_ = State::kBeforeValue;
                } else {
                    collect(name_, kCfgNameSize, c);
                }
                return;
            case State::kBeforeValue:
                if (endsEntryOrStartsComment(c) || isBlank(c)) return;
                collect(value_, kCfgValueSize, c);
                state_ = State::kValue;
                return;
            case State::kValue:
                if (endsEntryOrStartsComment(c)) return;
                collect(value_, kCfgValueSize, isBlank(c) ? ' ' : c);
                return;
            case State::kComment:
                if (isLineEnd(c)) state_ = resume_;
                return;
        }
    }

    // The two bytes every state but the comment treats alike.
    bool endsEntryOrStartsComment(int c) {
        if (isLineEnd(c)) {
            endEntry();
            return true;
        }
        if (startsComment(c)) {
            resume_ = state_;
            state_ = State::kComment;
            return true;
        }
        return false;
    }

    static void collect(std::string& buffer, std::size_t size, int c) {
        if (buffer.size() + 1 < size) buffer.push_back(static_cast<char>(c));
    }

    void endEntry() {
        if (!name_.empty()) {
            const std::size_t kept = value_.find_last_not_of(' ');
            value_.erase(kept == std::string::npos ? 0 : kept + 1);
            list_ = appendEntry(list_, name_.c_str(), value_.c_str(), level_);
        }
        name_.clear();
        value_.clear();
        state_ = State::kBeforeName;
    }

    Parameter* list_;
    std::uint16_t level_;
    State state_ = State::kBeforeName;
    State resume_ = State::kBeforeName;
    std::string name_;
    std::string value_;
};

}  // namespace

Parameter* readCfgStream(Parameter* list, std::FILE* stream, std::uint16_t level) {
    if (stream == nullptr) return list;
    return CfgReader(list, level).read(stream);
}

Parameter* readCfgFile(Parameter* list, const char* path, std::uint16_t level) {
    if (path == nullptr) return list;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    return readCfgStream(list, file.get(), level);
}

}  // namespace tw
