#include "cycle/point_list_cycle.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "cycle/working_copy_claims.h"
#include "framework/channels.h"
#include "framework/event_record.h"
#include "text/number_text.h"
#include "framework/owned_text.h"
#include "framework/run_phases.h"
#include "framework/slots.h"
#include "optimizer/contours/contour_processing.h"
#include "optimizer/optimize_codes.h"
#include "optimizer/path_optimizer.h"
#include "optimizer/near_optimal/search_effort.h"
#include "output/format_real.h"
#include "output/geometry_writer.h"
#include "platform/platform.h"
#include "settings/parameter_list.h"

namespace tw {
namespace {

// The module's cycle object begins with its framework part.
PointListCycle& ownFields(Cycle* cycle) { return *reinterpret_cast<PointListCycle*>(cycle); }

// Channels 2, 4, 5 and 6 carry nothing this cycle writes.
std::int32_t TWCS_CALL acceptRecord(Cycle*, EventRecord*) { return 1; }

// The program-output side of every channel. This cycle switches to the
// geometry output mode before it registers anything, so no record ever
// reaches it; it only holds the channel's place.
std::int32_t TWCS_CALL programOutputHandler(Cycle*, EventRecord*) { return 1; }

bool equalsIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        const char b = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] - 'A' + 'a') : word[i];
        if (a != b) return false;
    }
    return i == text.size() && word[i] == '\0';
}

void replaceText(char*& field, const std::string* value) {
    releaseText(field);
    if (value != nullptr) field = copyText(std::string_view(*value));
}

std::string messageFileName(const Parameter* parameters) {
    if (const std::optional<std::string> language = getParameter(parameters, "SystemLanguage")) {
        if (std::optional<std::string> name = getParameter(parameters, language->c_str())) return *name;
    }
    if (std::optional<std::string> name = getParameter(parameters, "MessageFile")) return *name;
    return ":undefined";
}

// Makes the run's own working copy of the source, or falls back to reading
// the source in place (and never deleting it) when no safe copy can be had.
void prepareWorkingFile(PointListCycle& cycle) {
    const std::string source = cycle.sourceFileName;
    replaceText(cycle.workingFileName, nullptr);
    if (const std::optional<std::string> remove = getParameter(cycle.base.parameters, "removeTempFiles")) {
        if (*remove == "true") cycle.removeWorkingFile = 1;
    }
    bool copied = false;
    const std::string working = makeWorkingCopy(source, copied);
    if (copied) {
        cycle.workingFileName = copyText(std::string_view(working));
        if (cycle.workingFileName != nullptr) return;
        // A copy whose name could not be kept could not be removed.
        releaseWorkingCopy(working, true);
    }
    replaceText(cycle.workingFileName, &source);
    cycle.removeWorkingFile = 0;
}

// False when memory was short for a channel.
bool registerChannels(Cycle* cycle) {
    bool all = registerChannel(cycle, 0, programOutputHandler, geoCycleHandler, 1) != 0;
    all = registerChannel(cycle, 2, programOutputHandler, acceptRecord, 1) != 0 && all;
    if (cycle->messageLevel >= 1) all = registerChannel(cycle, 4, programOutputHandler, acceptRecord, 1) != 0 && all;
    if (cycle->messageLevel >= 2) all = registerChannel(cycle, 5, programOutputHandler, acceptRecord, 1) != 0 && all;
    if (cycle->messageLevel >= 3) all = registerChannel(cycle, 6, programOutputHandler, acceptRecord, 1) != 0 && all;
    all = registerChannel(cycle, 31, programOutputHandler, geoContourHandler, 1) != 0 && all;
    return all;
}

}  // namespace

std::int32_t TWCS_CALL readParameterFiles(Cycle*) { return 0; }

std::int32_t TWCS_CALL onSwitchD(Cycle*) { return 1; }

std::int32_t TWCS_CALL prepareCycle(Cycle*) { return 1; }

std::int32_t TWCS_CALL initCycle(Cycle* base) {
    PointListCycle& cycle = ownFields(base);
    base->pcfMode = 1;

    if (const std::optional<std::string> precision = getParameter(base->parameters, "precision"))
        setOutputPrecision(static_cast<std::uint16_t>(leadingInteger(precision->c_str())));

    // Names a failed earlier run left behind must not be read by this one;
    // the file stays, as it stayed when that run stopped.
    replaceText(cycle.sourceFileName, nullptr);
    replaceText(cycle.outputFileName, nullptr);
    if (cycle.workingFileName != nullptr) releaseWorkingCopy(cycle.workingFileName, false);
    replaceText(cycle.workingFileName, nullptr);

    if (const std::optional<std::string> source = getParameter(base->parameters, "geoSource")) {
        base->parameters = setParameter(base->parameters, "sourceGeometry", source->c_str(), kLevelDerived);
        replaceText(cycle.sourceFileName, &*source);
    }
    if (const std::optional<std::string> output = getParameter(base->parameters, "geoOut")) {
        base->parameters = setParameter(base->parameters, "geoSource", output->c_str(), kLevelDerived);
        replaceText(cycle.outputFileName, &*output);
    }
    const std::string messageFile = messageFileName(base->parameters);

    const std::optional<std::string> writePath = getParameter(base->parameters, "writePath");
    cycle.writePath = writePath && equalsIgnoringCase(*writePath, "true") ? 1 : 0;

    if (cycle.sourceFileName != nullptr) prepareWorkingFile(cycle);

    // Without its channels the geometry writer never hears of this run, so
    // the earlier output cannot be left to it.
    if (!registerChannels(base) && cycle.outputFileName != nullptr)
        removeEarlierOutput(cycle.outputFileName, cycle.sourceFileName);

    EventRecord begin = makeRecord(kCycleBeginRecord, "cycle");
    formatRecordText(begin, "%s %u.%02u (%s)", base->title != nullptr ? base->title : "(null)",
                     static_cast<unsigned>(base->versionMajor), static_cast<unsigned>(base->versionMinor),
                     cycle.sourceFileName != nullptr ? cycle.sourceFileName : "(null)");
    emitRecord(base, 0, &begin);

    EventRecord message = makeRecord(kMessageFileRecord, "msgFile");
    setRecordText(message, messageFile.c_str());
    emitRecord(base, 0, &message);

    emitParameterRecords(base);
    return 1;
}

std::int32_t TWCS_CALL readCycleParameters(Cycle* base) {
    PointListCycle& cycle = ownFields(base);
    if (const std::optional<std::string> x = getParameter(base->parameters, "startX")) cycle.startX = leadingReal(x->c_str());
    if (const std::optional<std::string> y = getParameter(base->parameters, "startY")) cycle.startY = leadingReal(y->c_str());
    base->cycleNumber = 1100;
    if (const std::optional<std::string> algorithm = getParameter(base->parameters, "algorithm")) {
        for (const AlgorithmName& entry : kAlgorithmNames) {
            if (*algorithm == entry.name) {
                cycle.algorithm = entry.code;
                break;
            }
        }
    }
    // Unlike the algorithm, the effort does not outlive the job that sets it.
    const std::optional<std::string> effort = getParameter(base->parameters, "searchEffort");
    searchEffort = effort ? parseSearchEffort(*effort) : kDefaultSearchEffort;
    return 1;
}

std::int32_t TWCS_CALL readCycleParametersCfg(Cycle* cycle) { return callSlot(cycle, kReadCycleParameters); }

std::int32_t TWCS_CALL startCycle(Cycle* base) {
    PointListCycle& cycle = ownFields(base);
    // An optimizer left by a run that failed before its teardown is dropped.
    optimizerDestroy(cycle.optimizer);
    cycle.optimizer = optimizerCreate(&StandardPathOptimizer, base->title);
    if (cycle.optimizer == nullptr) {
        // The contours will not be read: nothing of the run is kept.
        releaseCycleState(base);
        return 0;
    }
    cycle.optimizer->algorithm = cycle.algorithm;
    return 1;
}

std::int32_t TWCS_CALL completeCycle(Cycle* base) {
    // The teardown also runs when the processing throws.
    struct Teardown {
        Cycle* cycle;
        ~Teardown() { releaseCycleState(cycle); }
    } teardown{base};
    processContours(base);
    return 1;
}

void releaseCycleState(Cycle* base) {
    PointListCycle& cycle = ownFields(base);
    optimizerDestroy(cycle.optimizer);
    cycle.optimizer = nullptr;
    releaseText(cycle.sourceFileName);
    if (cycle.workingFileName != nullptr) {
        releaseWorkingCopy(cycle.workingFileName, cycle.removeWorkingFile == 1);
        releaseText(cycle.workingFileName);
    }
    releaseText(cycle.outputFileName);
}

bool runsPointListCycle(const Cycle* cycle) {
    return cycle != nullptr && cycle->slots[kCompleteCycle] == completeCycle;
}

}  // namespace tw
