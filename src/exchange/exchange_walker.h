// The exchange walker: reads a whole exchange file and calls a handler for
// every item, keeping its value dictionary in step with the file's blocks.
//
// Objects are dispatched by name (exactly, case included) to the handlers
// bound with addObjectHandler; values and braces go to the three handlers
// given at creation, which by default maintain the dictionary. Objects and
// methods without id are numbered from the dictionary's counters.
//
// A handler returns 1 to go on; anything else ends the walk with that value.
// It may read and change the token (for example move its texts out) but must
// not keep references into it beyond the call. A handler may itself read
// other exchange files, also with another walker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exchange/exchange_token.h"
#include "exchange/value_dictionary.h"

namespace tw {

using ExchangeHandler = std::int32_t (*)(ExchangeToken& token, ValueDictionary* dictionary, void* context);
using ExchangeHeadCheck = std::int32_t (*)(const ExchangeHeader& header);

// The head check that accepts every file (returns 1).
std::int32_t acceptEveryHead(const ExchangeHeader& header);

// The do-nothing handler (returns 1).
std::int32_t ignoreExchangeItem(ExchangeToken& token, ValueDictionary* dictionary, void* context);

class ExchangeWalker {
public:
    // Handlers given as null get their defaults: setDictionaryValue with the
    // token's name and text, openDictionaryScope, closeDictionaryScope; each
    // default returns 1 whatever the dictionary returned. Throws
    // std::bad_alloc; createExchangeWalker does not.
    ExchangeWalker(void* context, ExchangeHandler valueHandler, ExchangeHandler blockBeginHandler,
                   ExchangeHandler blockEndHandler);
    ExchangeWalker(const ExchangeWalker&) = delete;
    ExchangeWalker& operator=(const ExchangeWalker&) = delete;

    // The walker's own dictionary; it keeps its contents between walks.
    ValueDictionary& dictionary() { return *dictionary_; }
    void* context() const { return context_; }

private:
    friend int addObjectHandler(ExchangeWalker*, std::string_view, ExchangeHandler);
    friend int addMethodHandler(ExchangeWalker*, std::string_view, ExchangeHandler);
    friend std::int32_t walkExchangeFile(const std::string&, ExchangeWalker*, ExchangeHeadCheck);

    // Names map to indices into a handler table whose entry 0 is the
    // do-nothing handler used for unbound names.
    struct HandlerTable {
        std::unordered_map<std::string, std::size_t> indexOf;
        std::vector<ExchangeHandler> handlers{&ignoreExchangeItem};
        ExchangeHandler find(const std::optional<std::string>& name) const;
        void bind(std::string_view name, ExchangeHandler handler);
    };

    std::int32_t dispatch(ExchangeToken& token);
    std::int32_t dispatchMethod(ExchangeToken& token);

    std::unique_ptr<ValueDictionary> dictionary_;
    void* context_;
    ExchangeHandler valueHandler_;
    ExchangeHandler blockBeginHandler_;
    ExchangeHandler blockEndHandler_;
    HandlerTable objects_;
    HandlerTable methods_;
};

// A new walker with its dictionary, or null when memory is short.
std::unique_ptr<ExchangeWalker> createExchangeWalker(void* context, ExchangeHandler valueHandler,
                                                     ExchangeHandler blockBeginHandler,
                                                     ExchangeHandler blockEndHandler);

// Binds `handler` (the do-nothing handler when null) to the object name. A
// name bound before gets the new handler. Returns 1, or 0 for a null walker,
// an empty name or when memory is short.
int addObjectHandler(ExchangeWalker* walker, std::string_view objectName, ExchangeHandler handler);

// The same for method items. A method handler meeting a body left in the
// file finds the stream at the body's first character; whatever it reads,
// the walk goes on after the item.
int addMethodHandler(ExchangeWalker* walker, std::string_view methodName, ExchangeHandler handler);

// Reads the file (openExchangeFile names) to its end and calls the handlers.
// Returns 1 when every handler returned 1 up to the end of the data (a
// syntax error ends the data), the first other handler result otherwise, the
// head check's result when it is not 1, and 0 when the walker is null or the
// file cannot be opened. `headCheck` may be null (every head passes).
std::int32_t walkExchangeFile(const std::string& fileName, ExchangeWalker* walker, ExchangeHeadCheck headCheck);

// Releases the walker, its dictionary and its handler tables; null is accepted.
void destroyExchangeWalker(std::unique_ptr<ExchangeWalker> walker);

}  // namespace tw
