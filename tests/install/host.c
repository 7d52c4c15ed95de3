/*
 * host.c - a minimal machining host in C, built against an installed
 * twPntOpt (its header through pkg-config or find_package, the module linked
 * by the dynamic loader). It runs one job in the current directory:
 *
 *     host JOB OUTPUT      e.g. host board board_sorted.twx
 *
 * and succeeds when the module accepted the run and OUTPUT holds data.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <twpntopt.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: host JOB OUTPUT\n");
        return 2;
    }
    const Cycle* cycle = twCSgetCycle();
    if (cycle == NULL || cycle->title == NULL) {
        fprintf(stderr, "host: the module gives no cycle record\n");
        return 1;
    }
    printf("%s %u.%02u\n", cycle->title, (unsigned)cycle->versionMajor, (unsigned)cycle->versionMinor);

    char job[512];
    if (snprintf(job, sizeof job, "-S%s", argv[1]) >= (int)sizeof job) return 2;
    char* arguments[] = {job};
    if (twCSexecCycle(NULL, 1, arguments, NULL) != 1) {
        fprintf(stderr, "host: the module refused the run\n");
        return 1;
    }
    FILE* output = fopen(argv[2], "rb");
    if (output == NULL) {
        fprintf(stderr, "host: no output %s\n", argv[2]);
        return 1;
    }
    long size = 0;
    if (fseek(output, 0, SEEK_END) == 0) size = ftell(output);
    fclose(output);
    if (size <= 0) {
        fprintf(stderr, "host: %s is empty\n", argv[2]);
        return 1;
    }
    printf("%s: %ld bytes\n", argv[2], size);
    return 0;
}
