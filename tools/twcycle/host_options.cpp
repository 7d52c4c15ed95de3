#include "host_options.h"

#include <cstring>

#include "algorithm_guide.h"

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
        } else if (std::strcmp(argument, "--strict") == 0) {
            options.strict = true;
        } else if (std::strcmp(argument, "--list-algorithms") == 0) {
            options.listAlgorithms = true;
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
           "       " + program + " drill IN [-o OUT] [--algorithm NAME] ... (see drill --help)\n"
           "Runs the twPntOpt path-optimizer cycle module once, as a machining host would.\n"
           "Before a job run (-S<job>) it checks the job's files and its geometry source;\n"
           "after it, it compares the points read with the points written, contour by\n"
           "contour, and prints per contour the points, the path length in input order\n"
           "from the contour's start point, the optimized length and the saving, then a\n"
           "total line. Messages name the file, line and column they concern.\n"
           "\n"
           "Options:\n"
           "  --svg FILE     also write a picture of the job: input order and optimized\n"
           "                 paths side by side, the start point and the moves between\n"
           "                 contours (open it in a web browser)\n"
           "  --quiet        print neither the summary table nor notes; warnings and\n"
           "                 errors are always printed\n"
           "  --strict       treat warnings as errors (exit status 7)\n"
           "  --no-progress  do not show progress on a terminal during a long run\n"
           "  --module PATH  the module to load (default: the one next to this program,\n"
           "                 else the one in the library folder of its installation)\n"
           "  --trace        print every record the module relays to the host on stderr\n"
           "  --list-algorithms  list the algorithm names with advice, and exit\n"
           "  --help         show this help and exit\n"
           "  --version      show the versions of twcycle and of the module, and exit\n"
           "\n"
           "Module arguments (passed unchanged):\n"
           "  -S<job>        run the job: reads twPntOpt.def and <job>.pcf (or <job>.CFG)\n"
           "  -V, -?         version / help switch runs (the module prints nothing for them)\n"
           "  -P, -A, -Y     look up the message-file section named by the parameter\n"
           "                 \"parameters\", \"algorithm\" or \"layers\"; twcycle prints it\n"
           "  -M<n>          message level\n"
           "\n"
           "Parameters the module reads (name, default, meaning), as `name := value`\n"
           "lines of twPntOpt.def and <job>.pcf; the job's value wins:\n" +
           parameterListText() +
           "\n"
           "Algorithm names (parameter \"algorithm\", case-sensitive):\n" + algorithmListText() +
           "\n"
           "Exit status:\n"
           "  0  the job ran, its output read back and holds every point read (or a\n"
           "     switch run succeeded); warnings may have been printed\n"
           "  1  the module refused the run\n"
           "  2  the command line was wrong, or the module or one of its functions\n"
           "     could not be loaded\n"
           "  3  the job names an output file (geoOut) but none was written, or it does\n"
           "     not read back\n"
           "  4  the picture could not be written\n"
           "  5  an input is missing: the job file, or the geometry source is missing,\n"
           "     unreadable or no data exchange file\n"
           "  6  points are lost: the module stops reading the source early (a syntax\n"
           "     error), or the output does not hold every point read as it was read\n"
           "  7  --strict, and there were warnings\n"
           "  8  twcycle drill: the drill file holds something it cannot reorder\n"
           "     safely (the message names the line)\n"
           "When several errors occur, the status is that of the first one printed.\n";
}

}  // namespace twcycle
