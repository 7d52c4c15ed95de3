// readExchangeToken and clearExchangeToken; the states are in body_reader.
#include <new>

#include "exchange/body_reader.h"
#include "exchange/exchange_reader.h"

namespace tw {

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
