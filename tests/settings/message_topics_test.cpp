// The switch runs -P, -A and -Y of the module's cycle against real message
// files, and describeTopic on its own.
#include "settings/message_topics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/exec_cycle.h"
#include "settings/parameter_list.h"
#include "settings/scratch_directory.h"

namespace tw {
namespace {

class MessageTopics : public ::testing::Test {
protected:
    MessageTopics() {
        directory.write("twPntOpt.def",
                        "SystemLanguage := english\n"
                        "parameters := params.msg\n"
                        "algorithm := algo.msg\n");
        directory.write("params.msg", "language english\nstart german\n:Parameter\nend german\n"
                                      "start english\n:Parameters\n:more\nend english\n");
        directory.write("algo.msg", "language english\nstart english\n; nothing yet\nend english\n");
    }

    // The result code of a run with these arguments.
    int resultOf(std::vector<std::string> arguments) {
        std::vector<char*> vector;
        for (std::string& argument : arguments) vector.push_back(argument.data());
        EXPECT_EQ(execCycle(nullptr, static_cast<std::int32_t>(vector.size()), vector.data(), nullptr), 1);
        return lastResultCode();
    }

    testing::ScratchDirectory directory;
};

TEST_F(MessageTopics, SwitchRunsGiveTheirCodes) {
    EXPECT_EQ(resultOf({"-P"}), 0);
    EXPECT_EQ(resultOf({"-Sjob", "-p"}), 0);
    EXPECT_EQ(resultOf({"-A"}), 14);  // empty section
    EXPECT_EQ(resultOf({"-Y"}), 15);  // no "layers" parameter
    EXPECT_EQ(resultOf({"-P", "-A", "-Y"}), 14);
    directory.write("job.pcf", "layers := params.msg\nparameters := missing.msg\n");
    EXPECT_EQ(resultOf({"-Sjob", "-Y"}), 0);
    EXPECT_EQ(resultOf({"-Sjob", "-P"}), 13);  // file missing
}

TEST_F(MessageTopics, SectionOfTheSystemLanguage) {
    directory.write("job.pcf", "SystemLanguage := german\nalgorithm := params.msg\n");
    EXPECT_EQ(resultOf({"-Sjob", "-A"}), 0);
    // Nothing chosen: the first section serves every language.
    directory.write("job.pcf", "SystemLanguage := french\nalgorithm := params.msg\n");
    EXPECT_EQ(resultOf({"-Sjob", "-A"}), 0);
    // English is chosen but has no section.
    directory.write("german.msg", "language english\nstart german\n:Parameter\n");
    directory.write("job.pcf", "algorithm := german.msg\n");
    EXPECT_EQ(resultOf({"-Sjob", "-A"}), 14);
}

TEST(DescribeTopic, UnknownLanguageIsQuestionMarks) {
    testing::ScratchDirectory directory;
    directory.write("only.msg", "language ???\nstart english\n:x\n");
    directory.write("marks.msg", "language ???\nstart ???\n:x\n");
    Cycle cycle{};
    cycle.parameters = setParameter(cycle.parameters, "a", "only.msg", 21);
    cycle.parameters = setParameter(cycle.parameters, "b", "marks.msg", 21);
    EXPECT_EQ(describeTopic(&cycle, "a"), 0);
    EXPECT_EQ(describeTopic(&cycle, "b"), 1);
    EXPECT_EQ(describeTopic(&cycle, "absent"), 0);
    EXPECT_EQ(describeTopic(nullptr, "a"), 0);
    freeParameters(cycle.parameters);
}

}  // namespace
}  // namespace tw
