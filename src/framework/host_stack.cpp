#include "framework/host_stack.h"

#include <array>

namespace tw {
namespace {

std::array<HostRecord*, kMaxNestedRuns> hostRecordStack{};
std::size_t depth = 0;

}  // namespace

bool pushHostRecord(HostRecord* host) {
    if (depth >= kMaxNestedRuns) return false;
    hostRecordStack[depth++] = host;
    return true;
}

void popHostRecord() {
    if (depth > 0) hostRecordStack[--depth] = nullptr;
}

std::size_t hostRecordDepth() { return depth; }

}  // namespace tw
