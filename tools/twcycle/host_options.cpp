#include "host_options.h"

#include <cstring>

namespace twcycle {

HostOptions parseHostOptions(int argc, char** argv) {
    HostOptions options;
    int i = 1;
    for (; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argument, "--module") == 0) {
            if (i + 1 >= argc) {
                options.error = "--module needs a path";
                return options;
            }
            options.modulePath = argv[++i];
        } else if (std::strncmp(argument, "--module=", 9) == 0) {
            options.modulePath = argument + 9;
        } else if (std::strcmp(argument, "--trace") == 0) {
            options.trace = true;
        } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argument, "--version") == 0) {
            options.version = true;
        } else if (std::strncmp(argument, "--", 2) == 0) {
            options.error = std::string("unknown option ") + argument;
            return options;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) options.moduleArguments.emplace_back(argv[i]);
    return options;
}

std::string usageText(const std::string& program) {
    return "Usage: " + program + " [--module PATH] [--trace] [--] ARG...\n"
           "Runs the twPntOpt path-optimizer cycle module once, as a machining host would.\n"
           "\n"
           "Options:\n"
           "  --module PATH  the module to load (default: the one next to this program)\n"
           "  --trace        print every record the module relays to the host on stderr\n"
           "  --help         show this help and exit\n"
           "  --version      show the host's version and exit\n"
           "\n"
           "Module arguments (passed unchanged):\n"
           "  -S<job>        run the job: reads twPntOpt.def and <job>.pcf (or <job>.CFG)\n"
           "  -V, -?         version / help switch runs\n"
           "  -P, -A, -Y     show the parameters, algorithm or layers section of the message file\n"
           "  -M<n>          message level\n"
           "\n"
           "Exit status: 0 when the module accepted and ran the job, 1 when it refused,\n"
           "2 when the module or one of its functions could not be loaded.\n";
}

}  // namespace twcycle
