// The body reader: one item of an exchange file per readExchangeToken call.
//
// All working state lives in a BodyReader made for one call. The item is
// built directly in the caller's token, and a call that ends without an item
// leaves the token empty, so nothing of an unfinished item survives the call.
#include <new>
#include <string>

#include "exchange/character_source.h"
#include "exchange/exchange_reader.h"

namespace tw {
namespace {

// Body states. Each reads characters and returns the next state; kStop ends
// the call. "end" is the end of the file or a byte 26; "ws" is blank, tab,
// LF, CR; "comment(S)" goes to Comment and from there back to S; "error" is a
// syntax error (the token is cleared, the call returns 0).
//
//  state            | reads                              | transitions
//  -----------------+------------------------------------+--------------------------------------------
//   0 Stop          | -                                  | error raised: clear the token; stop
//   1 ItemStart     | skips ws                           | end: stop. ';': comment(1). 'v' 3, 'o' 6,
//                   |                                    | 'm' 14, '{' '}' 20. else error
//   2 Comment       | up to LF or CR                     | line end: return state. end: stop when the
//                   |                                    | return state is 1, else error
//   3 ValueName     | ws before the name; value-name chs | ws 4, ';' comment(4), '(' 5 (after a name
//                   |                                    | character only); else error
//   4 AfterValueName| skips ws                           | '(' 5, ';' comment(4); else error
//   5 ValueText     | text with escapes                  | ')', line end or end after a character:
//                   |                                    | text, 20. ')' first: 20. end first: error
//   6 ObjectName    | ws before the name; name chars     | ws 7, ';' comment(7), '[' 8, '(' 10 (after
//                   |                                    | a name character only); else error
//   7 AfterObjName  | skips ws                           | '(' 10, '[' 8, ';' comment(7); else error
//   8 ObjectId      | blanks first skipped; tab = blank  | ']' or line end: id (trailing blanks
//                   | name chars and blanks              | removed) when any, 9; else error
//   9 AfterObjectId | skips ws                           | '(' 10, ';' comment(9); else error
//  10 ArgumentList  | skips ws                           | ')' 20, ';' comment(10), '(' '[' ']' end:
//                   |                                    | error; else 11 with that character
//  11 ArgumentName  | the current character, name chars  | ws 12, '[' 13; else error
//  12 AfterArgName  | skips ws                           | '[' 13, ';' comment(12); else error
//  13 ArgumentValue | value chs, blanks ("t": verbatim)  | ']' or line end: argument appended, 10.
//                   |                                    | end or other: error
//  14 MethodName    | as 6; trace line on ws or ';'      | as 6 with 15, 16, 18
//  15 AfterMethName | skips ws                           | '(' 18, '[' 16, ';' comment(15); else error
//  16 MethodId      | blanks dropped; name chars         | ']' or line end: id when any, 17; else error
//  17 AfterMethodId | skips ws                           | '(' 18, ';' comment(17); else error
//  18 MethodBody    | notes the position; CR dropped;    | ')' or end after a character: body, 20.
//                   | LF and body chars collected        | ')' first: skipped. end first: error.
//                   |                                    | full at kMaxBodyInMemory: 19. else error
//  19 SkipLongBody  | ws and body chars skipped          | ')' or end: bodyEnd after it, 20. else error
//  20 Deliver       | -                                  | the token is complete; the call returns 1
enum State : int {
    kStop = -1,
    kStopState = 0,
    kItemStart = 1,
    kComment = 2,
    kValueName = 3,
    kAfterValueName = 4,
    kValueText = 5,
    kObjectName = 6,
    kAfterObjectName = 7,
    kObjectId = 8,
    kAfterObjectId = 9,
    kArgumentList = 10,
    kArgumentName = 11,
    kAfterArgumentName = 12,
    kArgumentValue = 13,
    kMethodName = 14,
    kAfterMethodName = 15,
    kMethodId = 16,
    kAfterMethodId = 17,
    kMethodBody = 18,
    kSkipLongBody = 19,
    kDeliver = 20,
};

constexpr int kNoCharacter = -2;

void appendMethodTrace(const std::string& name) {
    std::FILE* trace = std::fopen(kMethodTraceFile, "at");
    if (trace == nullptr) return;
    std::fprintf(trace, " methode = '%s'\n", name.c_str());
    std::fclose(trace);
}

void trimBlanks(std::string& text, bool tabsToo) {
    auto trimmed = [tabsToo](char c) { return c == ' ' || (tabsToo && c == '\t'); };
    std::size_t end = text.size();
    while (end > 0 && trimmed(text[end - 1])) --end;
    std::size_t start = 0;
    while (start < end && trimmed(text[start])) ++start;
    text.erase(end);
    text.erase(0, start);
}

class BodyReader {
public:
    BodyReader(std::FILE* stream, ExchangeToken& token) : input_(stream), token_(token) {}

    // Runs the states from ItemStart; 1 when the token holds an item.
    int run() {
        int state = kItemStart;
        while (state != kStop) state = step(state);
        return delivered_ ? 1 : 0;
    }

private:
    int step(int state) {
        switch (state) {
            case kStopState: return stop();
            case kItemStart: return itemStart();
            case kComment: return comment();
            case kValueName: return valueName();
            case kAfterValueName: return afterName(kValueText, kStopState, kAfterValueName);
            case kValueText: return valueText();
            case kObjectName: return objectName(kAfterObjectName, kObjectId, kArgumentList, false);
            case kAfterObjectName: return afterName(kArgumentList, kObjectId, kAfterObjectName);
            case kObjectId: return objectId();
            case kAfterObjectId: return afterName(kArgumentList, kStopState, kAfterObjectId);
            case kArgumentList: return argumentList();
            case kArgumentName: return argumentName();
            case kAfterArgumentName: return afterArgumentName();
            case kArgumentValue: return argumentValue();
            case kMethodName: return objectName(kAfterMethodName, kMethodId, kMethodBody, true);
            case kAfterMethodName: return afterName(kMethodBody, kMethodId, kAfterMethodName);
            case kMethodId: return methodId();
            case kAfterMethodId: return afterName(kMethodBody, kStopState, kAfterMethodId);
            case kMethodBody: return methodBody();
            case kSkipLongBody: return skipLongBody();
            case kDeliver: return deliver();
            default: return syntaxError();
        }
    }

    int next() { return c_ = input_.next(); }

    int syntaxError() {
        error_ = true;
        return kStopState;
    }

    int toComment(int returnState) {
        commentReturn_ = returnState;
        return kComment;
    }

    // Adds one character to the text being collected; false once the token
    // has reached its character budget.
    bool collect(int c) {
        if (collected_ == kMaxTokenCharacters) return false;
        ++collected_;
        buffer_.push_back(static_cast<char>(c));
        return true;
    }

    // Hands the collected text over, leaving the buffer empty.
    std::string complete() {
        std::string text = std::move(buffer_);
        buffer_.clear();
        return text;
    }

    int stop() {
        if (error_) clearExchangeToken(token_);
        error_ = false;
        return kStop;
    }

    int itemStart() {
        while (isWhitespace(next())) {
        }
        switch (c_) {
            case kEndOfData: return kStopState;
            case ';': return toComment(kItemStart);
            case 'v': token_.kind = 'v'; return kValueName;
            case 'o': token_.kind = 'o'; return kObjectName;
            case 'm': token_.kind = 'm'; return kMethodName;
            case '{':
            case '}': token_.kind = static_cast<char>(c_); return kDeliver;
            default: return syntaxError();
        }
    }

    int comment() {
        while (next() != kEndOfData && !isLineEnd(c_)) {
        }
        if (isLineEnd(c_)) return commentReturn_;
        return commentReturn_ == kItemStart ? kStopState : syntaxError();
    }

    int valueName() {
        bool named = false;
        for (;;) {
            if (isValueNameCharacter(next())) {
                if (!collect(c_)) return syntaxError();
                named = true;
                continue;
            }
            if (!named) {
                if (isWhitespace(c_)) continue;
                return syntaxError();
            }
            if (isWhitespace(c_)) return nameComplete(kAfterValueName);
            if (c_ == ';') return toComment(nameComplete(kAfterValueName));
            if (c_ == '(') return nameComplete(kValueText);
            return syntaxError();
        }
    }

    int nameComplete(int nextState) {
        token_.name = complete();
        return nextState;
    }

    // After a name or id: whitespace and comments, then '(' (or '[' where
    // `bracketState` is a real state).
    int afterName(int parenthesisState, int bracketState, int self) {
        while (isWhitespace(next())) {
        }
        if (c_ == '(') return parenthesisState;
        if (c_ == '[' && bracketState != kStopState) return bracketState;
        if (c_ == ';') return toComment(self);
        return syntaxError();
    }

    // The value text: escapes, blanks and line ends skipped before the first
    // character, the end at ')' or at a line end or the end of the data once
    // a character was taken. An escaped NUL cuts the text there.
    int valueText() {
        std::size_t taken = 0;
        bool cut = false;
        int pending = kNoCharacter;  // the character that ended a numeric escape
        for (;;) {
            int c = pending != kNoCharacter ? pending : input_.next();
            pending = kNoCharacter;
            bool escaped = false;
            if (c == '\\') {
                c = input_.next();
                if (isDecimalDigit(c)) {
                    int code = c - '0';
                    for (int digits = 1; digits < 3; ++digits) {
                        const int d = input_.next();
                        if (!isDecimalDigit(d)) {
                            pending = d;
                            break;
                        }
                        code = code * 10 + (d - '0');
                    }
                    c = code % 256;
                    escaped = true;
                } else {
                    escaped = c != kEndOfData;
                }
            }
            c_ = c;
            const bool first = taken == 0;
            if (!escaped) {
                if (c == kEndOfData) return first ? syntaxError() : valueComplete();
                if (c == ')') return first ? kDeliver : valueComplete();
                if (isLineEnd(c)) {
                    if (first) continue;
                    return valueComplete();
                }
                if (!isValueCharacter(c) && !isBlank(c)) return syntaxError();
            }
            if (first && isWhitespace(c)) continue;
            ++taken;
            if (c == 0) cut = true;
            if (!cut && !collect(c)) return syntaxError();
        }
    }

    int valueComplete() {
        std::string text = complete();
        trimBlanks(text, false);
        token_.text = std::move(text);
        return kDeliver;
    }

    int objectName(int afterState, int idState, int argumentsState, bool traced) {
        bool named = false;
        for (;;) {
            if (isNameCharacter(next())) {
                if (!collect(c_)) return syntaxError();
                named = true;
                continue;
            }
            if (!named) {
                if (isWhitespace(c_)) continue;
                return syntaxError();
            }
            if (isWhitespace(c_) || c_ == ';') {
                nameComplete(afterState);
                if (traced) appendMethodTrace(*token_.name);
                return c_ == ';' ? toComment(afterState) : afterState;
            }
            if (c_ == '[') return nameComplete(idState);
            if (c_ == '(') return nameComplete(argumentsState);
            return syntaxError();
        }
    }

    int objectId() {
        for (;;) {
            next();
            if (isBlank(c_)) {
                if (!buffer_.empty() && !collect(' ')) return syntaxError();
                continue;
            }
            if (isNameCharacter(c_)) {
                if (!collect(c_)) return syntaxError();
                continue;
            }
            if (c_ == ']' || isLineEnd(c_)) {
                if (!buffer_.empty()) {
                    std::string id = complete();
                    trimBlanks(id, false);
                    token_.text = std::move(id);
                }
                return kAfterObjectId;
            }
            return syntaxError();
        }
    }

    int argumentList() {
        while (isWhitespace(next())) {
        }
        switch (c_) {
            case ')': return kDeliver;
            case ';': return toComment(kArgumentList);
            case '(':
            case '[':
            case ']':
            case kEndOfData: return syntaxError();
            default: return kArgumentName;
        }
    }

    int argumentName() {
        if (token_.arguments.size() == kMaxTokenArguments) return syntaxError();
        for (;;) {
            if (!isNameCharacter(c_)) return syntaxError();
            if (!collect(c_)) return syntaxError();
            next();
            if (isWhitespace(c_)) {
                pendingName_ = complete();
                return kAfterArgumentName;
            }
            if (c_ == '[') {
                pendingName_ = complete();
                return kArgumentValue;
            }
        }
    }

    int afterArgumentName() {
        while (isWhitespace(next())) {
        }
        if (c_ == '[') return kArgumentValue;
        if (c_ == ';') return toComment(kAfterArgumentName);
        return syntaxError();
    }

    // An argument value; "t" keeps its value exactly as written.
    int argumentValue() {
        const bool verbatim = pendingName_ == "t";
        for (;;) {
            next();
            if (c_ == ']') break;
            if (isLineEnd(c_)) {
                if (!verbatim && buffer_.empty()) continue;
                break;
            }
            if (isBlank(c_)) {
                if (!verbatim && buffer_.empty()) continue;
            } else if (!isValueCharacter(c_)) {
                return syntaxError();
            }
            if (!collect(c_)) return syntaxError();
        }
        std::string value = complete();
        if (!verbatim) trimBlanks(value, true);
        ExchangeArgument& argument = token_.arguments.emplace_back();
        argument.name = std::move(pendingName_);
        pendingName_.clear();
        if (!value.empty()) argument.value = std::move(value);
        return kArgumentList;
    }

    int methodId() {
        for (;;) {
            next();
            if (isBlank(c_)) continue;
            if (isNameCharacter(c_)) {
                if (!collect(c_)) return syntaxError();
                continue;
            }
            if (c_ == ']' || isLineEnd(c_)) {
                if (!buffer_.empty()) token_.text = complete();
                return kAfterMethodId;
            }
            return syntaxError();
        }
    }

    int methodBody() {
        const std::int64_t start = input_.position();
        std::size_t stored = 0;
        for (;;) {
            next();
            if (c_ == '\r') continue;
            if (c_ == ')' || c_ == kEndOfData) {
                if (stored > 0) {
                    ExchangeArgument& body = token_.arguments.emplace_back();
                    body.value = complete();
                    return kDeliver;
                }
                if (c_ == ')') continue;
                return syntaxError();
            }
            if (c_ != '\n' && !isBodyCharacter(c_)) return syntaxError();
            if (stored == kMaxBodyInMemory) {
                token_.bodyFile = input_.stream();
                token_.bodyStart = start;
                return kSkipLongBody;
            }
            if (!collect(c_)) return syntaxError();
            ++stored;
        }
    }

    int skipLongBody() {
        collected_ -= buffer_.size();
        std::string().swap(buffer_);
        for (;;) {
            next();
            if (c_ == ')' || c_ == kEndOfData) {
                token_.bodyEnd = input_.position();
                return kDeliver;
            }
            if (!isWhitespace(c_) && !isBodyCharacter(c_)) return syntaxError();
        }
    }

    int deliver() {
        delivered_ = true;
        return kStop;
    }

    CharacterSource input_;
    ExchangeToken& token_;
    int c_ = kEndOfData;  // the current character
    int commentReturn_ = kItemStart;
    bool error_ = false;
    bool delivered_ = false;
    std::string buffer_;       // the text being collected
    std::string pendingName_;  // the argument name waiting for its value
    std::size_t collected_ = 0;
};

}  // namespace

int readExchangeToken(std::FILE* stream, ExchangeToken& token) {
    clearExchangeToken(token);
    if (stream == nullptr) return 0;
    try {
        BodyReader reader(stream, token);
        return reader.run();
    } catch (const std::bad_alloc&) {
        clearExchangeToken(token);
        return 0;
    }
}

void clearExchangeToken(ExchangeToken& token) {
    token.kind = 0;
    token.name.reset();
    token.text.reset();
    token.arguments.clear();  // keeps the capacity for the next item
    token.bodyFile = nullptr;
    token.bodyStart = -1;
    token.bodyEnd = -1;
}

}  // namespace tw
