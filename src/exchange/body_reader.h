// The state machine behind readExchangeToken. A BodyReader lives for one
// call: it reads one item from the stream into the caller's token, so
// nothing of an unfinished item survives the call.
#pragma once

#include <cstdio>
#include <string>

#include "exchange/character_source.h"
#include "exchange/exchange_reader.h"

namespace tw {

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
class BodyReader {
public:
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

    BodyReader(std::FILE* stream, ExchangeToken& token) : input_(stream), token_(token) {}

    // Runs the states from ItemStart; 1 when the token holds an item, 0 at
    // the end of the data or after an error (the token is then empty).
    int run();

private:
    int step(int state);

    // One function per state; each returns the next state.
    int stop();
    int itemStart();
    int comment();
    int valueName();
    int valueText();
    int objectName(int afterState, int idState, int argumentsState, bool traced);
    int afterName(int parenthesisState, int bracketState, int self);
    int objectId();
    int argumentList();
    int argumentName();
    int afterArgumentName();
    int argumentValue();
    int methodId();
    int methodBody();
    int skipLongBody();
    int deliver() {
        delivered_ = true;
        return kStop;
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

    int nameComplete(int nextState) {
        token_.name = complete();
        return nextState;
    }

    int valueComplete();

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

}  // namespace tw
