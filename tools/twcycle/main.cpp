// twcycle: runs the twPntOpt cycle module without a machining application.
// It loads the module at run time, hands it the command line, and reports
// what happened, since the module itself reports nothing: before a job run
// the checks of its files, after it the comparison of the points read with
// the points written, a summary of the output and on request a picture of
// it; after a switch run the message-file section it looked up.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "algorithm_guide.h"
#include "drill/drill_command.h"
#include "exit_status.h"
#include "host_options.h"
#include "report/job_report.h"
#include "job/job_settings.h"
#include "module_lookup.h"
#include "report/progress.h"
#include "switch_runs.h"
#include "platform/platform.h"
#include "twpntopt.h"

namespace {

using GetCycle = Cycle*(TWCS_CALL*)(void);
using ExecCycle = int32_t(TWCS_CALL*)(Cycle*, int32_t, char**, HostRecord*);
using SetSignal = int32_t(TWCS_CALL*)(Cycle*, int32_t);
using GetSignal = int32_t(TWCS_CALL*)(Cycle*);

int32_t TWCS_CALL traceRecord(const char* function, int32_t channel, const EventRecord* record) {
    if (record == nullptr) {
        std::fprintf(stderr, "[%s] channel %d: (no record)\n", function, channel);
    } else {
        std::fprintf(stderr, "[%s] channel %d kind %d name \"%.255s\" text \"%.519s\"\n", function,
                     channel, record->kind, record->name, record->text);
    }
    return 1;
}

int32_t TWCS_CALL traceFirst(Cycle*, int32_t channel, EventRecord* record, void*) {
    return traceRecord("first", channel, record);
}
int32_t TWCS_CALL traceSecond(Cycle*, int32_t channel, EventRecord* record, void*) {
    return traceRecord("second", channel, record);
}
int32_t TWCS_CALL traceThird(Cycle*, int32_t channel, EventRecord* record, void*) {
    return traceRecord("third", channel, record);
}

std::string defaultModulePath() {
    return twcycle::findModule(
        twcycle::moduleCandidates(tw::platform::executableDirectory(), TWCYCLE_LIBDIR_FROM_BINDIR, TWCYCLE_MODULE_FILE),
        [](const std::string& path) { return tw::platform::fileExists(path); });
}

// The name the module's definition file is built from.
std::string cycleIdentifier(GetCycle getCycle) {
    const Cycle* cycle = getCycle();
    return cycle != nullptr && cycle->identifier != nullptr ? cycle->identifier : "twPntOpt";
}

int runHost(int argc, char** argv) {
    const std::string program = "twcycle";
    twcycle::HostOptions options = twcycle::parseHostOptions(argc, argv);
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s: %s (try --help)\n", program.c_str(), options.error.c_str());
        return twcycle::kExitHostFailure;
    }
    if (options.help) {
        std::fputs(twcycle::usageText(program).c_str(), stdout);
        return 0;
    }
    if (options.version) std::printf("%s %s\n", program.c_str(), TWCYCLE_VERSION);
    if (options.listAlgorithms) {
        std::fputs(twcycle::algorithmListText().c_str(), stdout);
        return 0;
    }

    const std::string modulePath = options.modulePath.empty() ? defaultModulePath() : options.modulePath;
    tw::platform::DynamicLibrary module(modulePath);
    if (!module.loaded()) {
        std::fprintf(stderr, "%s: cannot load module %s: %s%s\n", program.c_str(), modulePath.c_str(),
                     module.error().c_str(),
                     options.modulePath.empty() ? " (looked next to twcycle and in its installation's library "
                                                  "folder; --module PATH names another)"
                                                : "");
        return twcycle::kExitHostFailure;
    }
    const char* names[] = {"twCSgetCycle", "twCSexecCycle", "twCSsetSignal", "twCSgetSignal"};
    void* symbols[4] = {};
    for (int i = 0; i < 4; ++i) {
        symbols[i] = module.symbol(names[i]);
        if (symbols[i] == nullptr) {
            std::fprintf(stderr, "%s: module %s has no function %s\n", program.c_str(), modulePath.c_str(),
                         names[i]);
            return twcycle::kExitHostFailure;
        }
    }
    auto getCycle = reinterpret_cast<GetCycle>(symbols[0]);
    auto execCycle = reinterpret_cast<ExecCycle>(symbols[1]);
    if (options.version) {
        std::printf("module %s: %s\n", modulePath.c_str(), twcycle::moduleVersionText(getCycle()).c_str());
        return 0;
    }

    HostRecord host{};
    if (options.trace) {
        host.first = traceFirst;
        host.second = traceSecond;
        host.third = traceThird;
    }
    std::vector<char*> arguments;
    for (std::string& argument : options.moduleArguments) arguments.push_back(argument.data());

    const twcycle::RunRequest request = twcycle::classifyArguments(options.moduleArguments);
    std::optional<twcycle::PreparedJob> job;
    const std::string identifier = cycleIdentifier(getCycle);
    if (request.normalRun) {
        job = twcycle::prepareJob(identifier, request.settingsSource);
        job->checks.findings.printNew(stderr, options.quiet);
    }

    std::unique_ptr<twcycle::ProgressDisplay> progress;
    if (job && options.progress && twcycle::standardErrorIsTerminal()) {
        const std::string watched = twcycle::progressFile(*job);
        if (!watched.empty())
            progress = std::make_unique<twcycle::ProgressDisplay>(watched, twcycle::progressPlan(*job), stderr);
    }
    const int32_t accepted = execCycle(nullptr, static_cast<int32_t>(arguments.size()), arguments.data(), &host);
    progress.reset();
    std::fflush(stdout);
    if (accepted != 1) {
        std::fprintf(stderr,
                     "%s: the module refused the run (bad arguments, too deeply nested, or the "
                     "configuration failed)\n",
                     program.c_str());
        return twcycle::kExitRefused;
    }
    if (!job) {
        if (!options.svgFile.empty())
            std::fprintf(stderr, "%s: a switch run writes no geometry; no picture\n", program.c_str());
        twcycle::explainSwitchRun(twcycle::readSwitches(options.moduleArguments), identifier, request.settingsSource,
                                  options.quiet, stdout, stderr);
        return twcycle::kExitOk;
    }
    return twcycle::reportJob(*job, options, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc > 1 && std::string(argv[1]) == "drill")
            return twcycle::drill::runDrillCommand(argc - 1, argv + 1, defaultModulePath(), stdout, stderr);
        return runHost(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "twcycle: %s\n", error.what());
        return twcycle::kExitHostFailure;
    }
}
