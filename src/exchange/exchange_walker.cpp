#include "exchange/exchange_walker.h"

#include <new>

#include "exchange/exchange_reader.h"

namespace tw {
namespace {

std::string_view textOf(const std::optional<std::string>& text) {
    return text ? std::string_view(*text) : std::string_view();
}

std::int32_t setValueByDefault(ExchangeToken& token, ValueDictionary* dictionary, void*) {
    setDictionaryValue(dictionary, textOf(token.name), textOf(token.text));
    return 1;
}

std::int32_t openScopeByDefault(ExchangeToken&, ValueDictionary* dictionary, void*) {
    openDictionaryScope(dictionary);
    return 1;
}

std::int32_t closeScopeByDefault(ExchangeToken&, ValueDictionary* dictionary, void*) {
    closeDictionaryScope(dictionary);
    return 1;
}

void moveStream(std::FILE* stream, std::int64_t position) {
    std::fseek(stream, static_cast<long>(position), SEEK_SET);
}

}  // namespace

std::int32_t acceptEveryHead(const ExchangeHeader&) { return 1; }

std::int32_t ignoreExchangeItem(ExchangeToken&, ValueDictionary*, void*) { return 1; }

ExchangeWalker::ExchangeWalker(void* context, ExchangeHandler valueHandler, ExchangeHandler blockBeginHandler,
                               ExchangeHandler blockEndHandler)
    : dictionary_(std::make_unique<ValueDictionary>()),
      context_(context),
      valueHandler_(valueHandler != nullptr ? valueHandler : &setValueByDefault),
      blockBeginHandler_(blockBeginHandler != nullptr ? blockBeginHandler : &openScopeByDefault),
      blockEndHandler_(blockEndHandler != nullptr ? blockEndHandler : &closeScopeByDefault) {}

ExchangeHandler ExchangeWalker::HandlerTable::find(const std::optional<std::string>& name) const {
    if (!name) return handlers[0];
    const auto found = indexOf.find(*name);
    return found == indexOf.end() ? handlers[0] : handlers[found->second];
}

void ExchangeWalker::HandlerTable::bind(std::string_view name, ExchangeHandler handler) {
    if (handler == nullptr) handler = &ignoreExchangeItem;
    const auto found = indexOf.find(std::string(name));
    if (found != indexOf.end()) {
        handlers[found->second] = handler;
        return;
    }
    handlers.push_back(handler);
    try {
        indexOf.emplace(std::string(name), handlers.size() - 1);
    } catch (...) {
        handlers.pop_back();
        throw;
    }
}

// Numbering: an object (method) without id takes the counter's text as its
// id; the counter moves on for every object (method), with id or without.
std::int32_t ExchangeWalker::dispatch(ExchangeToken& token) {
    switch (token.kind) {
        case 'o': {
            const std::int32_t number = dictionary_->takeObjectNumber();
            if (!token.text) token.text = std::to_string(number);
            return objects_.find(token.name)(token, dictionary_.get(), context_);
        }
        case 'm': return dispatchMethod(token);
        case 'v': return valueHandler_(token, dictionary_.get(), context_);
        case '{': return blockBeginHandler_(token, dictionary_.get(), context_);
        case '}': return blockEndHandler_(token, dictionary_.get(), context_);
        default: return 1;
    }
}

// A long body is read by the handler from its start; afterwards the stream
// goes back to the end of the item. The body stream and end are noted before
// the call, so a handler that empties the token cannot lose the position.
std::int32_t ExchangeWalker::dispatchMethod(ExchangeToken& token) {
    std::FILE* const bodyFile = token.bodyFile;
    const std::int64_t bodyEnd = token.bodyEnd;
    if (token.arguments.empty() && bodyFile != nullptr && token.bodyStart >= 0) moveStream(bodyFile, token.bodyStart);
    const std::int32_t number = dictionary_->takeMethodNumber();
    if (!token.text) token.text = std::to_string(number);
    const std::int32_t result = methods_.find(token.name)(token, dictionary_.get(), context_);
    if (bodyEnd >= 0 && bodyFile != nullptr) moveStream(bodyFile, bodyEnd);
    return result;
}

std::unique_ptr<ExchangeWalker> createExchangeWalker(void* context, ExchangeHandler valueHandler,
                                                     ExchangeHandler blockBeginHandler,
                                                     ExchangeHandler blockEndHandler) {
    try {
        return std::make_unique<ExchangeWalker>(context, valueHandler, blockBeginHandler, blockEndHandler);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int addObjectHandler(ExchangeWalker* walker, std::string_view objectName, ExchangeHandler handler) {
    if (walker == nullptr || objectName.empty()) return 0;
    try {
        walker->objects_.bind(objectName, handler);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int addMethodHandler(ExchangeWalker* walker, std::string_view methodName, ExchangeHandler handler) {
    if (walker == nullptr || methodName.empty()) return 0;
    try {
        walker->methods_.bind(methodName, handler);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::int32_t walkExchangeFile(const std::string& fileName, ExchangeWalker* walker, ExchangeHeadCheck headCheck) {
    if (walker == nullptr) return 0;
    ExchangeHeader header;
    const ExchangeStream stream(openExchangeFile(fileName, header));
    if (!stream) return 0;
    std::int32_t result = headCheck != nullptr ? headCheck(header) : 1;
    if (result != 1) return result;
    ExchangeToken token;
    while (result == 1 && readExchangeToken(stream.get(), token) == 1) result = walker->dispatch(token);
    clearExchangeToken(token);
    return result;
}

void destroyExchangeWalker(std::unique_ptr<ExchangeWalker> walker) { walker.reset(); }

}  // namespace tw
