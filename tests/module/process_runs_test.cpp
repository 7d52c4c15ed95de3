// Runs in several processes at once in one folder, each with its own source
// and output: every output holds exactly its own source's points.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "stress_jobs.h"
#include "twpntopt.h"

namespace tw {
namespace {

using namespace testing;

#if defined(TW_STRESS_SMALL)
constexpr int kProcesses = 3;
constexpr int kRounds = 2;
#else
constexpr int kProcesses = 4;
constexpr int kRounds = 3;
#endif

// Exit status of a child whose run was refused.
constexpr int kRefused = 3;

TEST(ProcessRuns, ProcessesInOneFolderEachWriteTheirOwnSourcesPoints) {
    TempDirectory directory;
    writeStressDefinitions();
    int absent = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<StressJob> jobs;
        for (int tag = 0; tag < kProcesses; ++tag) jobs.push_back(writeStressJob(tag, round));
        // The children wait at a gate that opens when the parent closes
        // its end of a pipe, so that their runs overlap.
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> children;
        for (int tag = 0; tag < kProcesses; ++tag) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                close(gate[1]);
                char byte;
                while (read(gate[0], &byte, 1) > 0) {
                }
                std::string argument = "-S" + jobs[tag].name;
                char* arguments[] = {argument.data()};
                _exit(twCSexecCycle(nullptr, 1, arguments, nullptr) == 1 ? 0 : kRefused);
            }
            children.push_back(child);
        }
        close(gate[0]);
        close(gate[1]);
        const std::string where = "round " + std::to_string(round);
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << where << ": status " << status;
        }
        expectOwnPoints(jobs, where, absent);
        expectNoLeftovers(where);
    }
    EXPECT_EQ(absent, 0);
}

}  // namespace
}  // namespace tw
