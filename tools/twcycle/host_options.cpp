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
        } else if (std::strcmp(argument, "--svg") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                options.error = "--svg needs a file name";
                return options;
            }
            options.svgFile = argv[++i];
        } else if (std::strncmp(argument, "--svg=", 6) == 0) {
            if (argument[6] == '\0') {
                options.error = "--svg needs a file name";
                return options;
            }
            options.svgFile = argument + 6;
        } else if (std::strcmp(argument, "--quiet") == 0) {
            options.quiet = true;
        } else if (std::strcmp(argument, "--no-progress") == 0) {
            options.progress = false;
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
    return "Usage: " + program + " [OPTION]... [--] ARG...\n"
           "Runs the twPntOpt path-optimizer cycle module once, as a machining host would.\n"
           "After a job run (-S<job>) it reads the output file back and prints, per contour,\n"
           "the points, the path length in input order from the contour's start point,\n"
           "the optimized length and the saving, then a total line.\n"
           "\n"
           "Options:\n"
           "  --svg FILE     also write a picture of the job: input order and optimized\n"
           "                 paths side by side, the start point and the moves between\n"
           "                 contours (open it in a web browser)\n"
           "  --quiet        do not print the summary table\n"
           "  --no-progress  do not show progress on a terminal during a long run\n"
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
           "Exit status: 0 when the job ran and its output read back (or a switch run\n"
           "succeeded), 1 when the module refused the run, 2 when the command line was\n"
           "wrong or the module or one of its functions could not be loaded, 3 when the\n"
           "job names an output file (geoOut) but none was written or it does not read\n"
           "back, 4 when the picture could not be written.\n";
}

}  // namespace twcycle
