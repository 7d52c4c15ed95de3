#include "exchange/body_reader.h"

namespace tw {
namespace {

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

}  // namespace

int BodyReader::run() {
    int state = kItemStart;
    while (state != kStop) state = step(state);
    return delivered_ ? 1 : 0;
}

int BodyReader::stop() {
    if (error_) clearExchangeToken(token_);
    error_ = false;
    return kStop;
}

int BodyReader::step(int state) {
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

int BodyReader::itemStart() {
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

int BodyReader::comment() {
    while (next() != kEndOfData && !isLineEnd(c_)) {
    }
    if (isLineEnd(c_)) return commentReturn_;
    return commentReturn_ == kItemStart ? kStopState : syntaxError();
}

int BodyReader::valueName() {
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

// After a name or id: whitespace and comments, then '(' (or '[' where
// `bracketState` is a real state).
int BodyReader::afterName(int parenthesisState, int bracketState, int self) {
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
int BodyReader::valueText() {
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

int BodyReader::valueComplete() {
    std::string text = complete();
    trimBlanks(text, false);
    token_.text = std::move(text);
    return kDeliver;
}

int BodyReader::objectName(int afterState, int idState, int argumentsState, bool traced) {
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

int BodyReader::objectId() {
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

int BodyReader::argumentList() {
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

int BodyReader::argumentName() {
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

int BodyReader::afterArgumentName() {
    while (isWhitespace(next())) {
    }
    if (c_ == '[') return kArgumentValue;
    if (c_ == ';') return toComment(kAfterArgumentName);
    return syntaxError();
}

// An argument value; "t" keeps its value exactly as written.
int BodyReader::argumentValue() {
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

int BodyReader::methodId() {
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

int BodyReader::methodBody() {
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

int BodyReader::skipLongBody() {
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

}  // namespace tw
