#include "cycle/working_copy_claims.h"

#include <algorithm>
#include <memory>

#include "cycle/working_copy.h"
#include "framework/host_stack.h"
#include "platform/file_claim.h"
#include "platform/platform.h"

namespace tw {
namespace {

struct HeldCopy {
    std::size_t depth;  // nesting depth of the run that holds it
    std::string name;   // what the run reads: the copy, or its source
    std::unique_ptr<platform::FileClaim> claim;
};

// The claims of the runs in progress in this process, innermost last. Runs
// are serialized, so only nested runs ever add to it at once.
std::vector<HeldCopy>& heldCopies() {
    static std::vector<HeldCopy> held;
    return held;
}

bool heldHere(const std::string& name) {
    const std::vector<HeldCopy>& held = heldCopies();
    return std::any_of(held.begin(), held.end(),
                       [&](const HeldCopy& copy) { return copy.claim->holds(name); });
}

void hold(const std::string& name, std::unique_ptr<platform::FileClaim> claim) {
    heldCopies().push_back(HeldCopy{hostRecordDepth(), name, std::move(claim)});
}

}  // namespace

std::string workingCopyName(int slot) {
    if (slot == 0) return kWorkingCopyName;
    return "osrc_tmp-" + std::to_string(slot) + ".twx";
}

std::string makeWorkingCopy(const std::string& source, bool& copied) {
    copied = false;
    // Room first: a claim that could not be kept would leave its copy behind.
    heldCopies().reserve(heldCopies().size() + 1);
    for (int slot = 0; slot < kWorkingCopySlots; ++slot) {
        const std::string name = workingCopyName(slot);
        platform::ClaimResult result = platform::ClaimResult::Failed;
        std::unique_ptr<platform::FileClaim> claim = platform::FileClaim::claim(name, result);
        if (result == platform::ClaimResult::Held) continue;
        // A name that cannot be opened at all (a folder stands there, the
        // folder is read-only) is a failed copy, as it always was.
        if (claim == nullptr) return source;
        if (platform::sameFile(source, name)) {
            // Copying a file onto itself would empty it before it is read.
            // It is read in place, and the claim keeps other runs from
            // taking it for their copy meanwhile.
            hold(source, std::move(claim));
            return source;
        }
        if (!copyFile(source, name)) {
            // Nothing of a failed copy stays, not even the empty file the
            // claim may have created.
            platform::removeFile(name);
            return source;
        }
        hold(name, std::move(claim));
        copied = true;
        return name;
    }
    return source;
}

void releaseWorkingCopy(const std::string& name, bool remove) {
    if (remove) platform::removeFile(name);
    std::vector<HeldCopy>& held = heldCopies();
    for (auto copy = held.rbegin(); copy != held.rend(); ++copy) {
        if (copy->name == name) {
            held.erase(std::next(copy).base());
            return;
        }
    }
}

void releaseWorkingCopyClaims(std::size_t depth) {
    std::vector<HeldCopy>& held = heldCopies();
    held.erase(std::remove_if(held.begin(), held.end(), [&](const HeldCopy& copy) { return copy.depth >= depth; }),
               held.end());
}

std::vector<std::string> workingCopiesOfOtherRuns() {
    std::vector<std::string> names;
    for (int slot = 0; slot < kWorkingCopySlots; ++slot) {
        const std::string name = workingCopyName(slot);
        if (!heldHere(name) && platform::isClaimed(name)) names.push_back(name);
    }
    return names;
}

}  // namespace tw
