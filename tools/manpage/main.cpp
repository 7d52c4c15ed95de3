// twcycle_manpage VERSION OUT: writes the manual page twcycle.1 to OUT. The
// build runs it, so the page always follows the help texts.
#include <cstdio>
#include <fstream>
#include <string>

#include "twcycle/man_page.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: twcycle_manpage VERSION OUT\n", stderr);
        return 2;
    }
    const std::string page = twcycle::manPage(argv[1]);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "twcycle_manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
