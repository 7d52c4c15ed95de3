// The host's read-back names another run working in the same folder when it
// fails, and only then.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "cycle/working_copy_claims.h"
#include "platform/file_claim.h"
#include "support/temp_directory.h"
#include "twcycle/exit_status.h"
#include "twcycle/report/job_report.h"

namespace {

using tw::testing::TempDirectory;
using tw::testing::writeFile;

std::string reportOf(const twcycle::PreparedJob& job, int& status) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    status = twcycle::reportJob(job, twcycle::HostOptions{}, out, err);
    std::rewind(err);
    std::string text;
    for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
    std::fclose(out);
    std::fclose(err);
    return text;
}

struct Case {
    const char* what;
    bool otherRun;     // another run holds osrc_tmp-1.twx
    bool outputThere;  // the output was written
    bool named;        // the error names the other run
};

class OtherRunsInTheFolder : public ::testing::TestWithParam<Case> {};

TEST_P(OtherRunsInTheFolder, AreNamedInAFailedReadBackOnly) {
    const Case& c = GetParam();
    TempDirectory directory;
    writeFile("twPntOpt.def", "");
    writeFile("job.pcf", "geoOut := out.twx\n");
    twcycle::PreparedJob job = twcycle::prepareJob("twPntOpt", "job");
    std::unique_ptr<tw::platform::FileClaim> other;
    if (c.otherRun) {
        tw::platform::ClaimResult result = tw::platform::ClaimResult::Failed;
        other = tw::platform::FileClaim::claim(tw::workingCopyName(1), result);
        ASSERT_NE(other, nullptr);
    }
    if (c.outputThere)
        writeFile("out.twx", "tarnWELL Data Exchange File, text edition 1993.\ntWX-Version: 1.0\nGeometry\nx\n\n");
    int status = -1;
    const std::string report = reportOf(job, status);
    EXPECT_EQ(status, c.outputThere ? twcycle::kExitOk : twcycle::kExitNoOutput) << c.what << "\n" << report;
    EXPECT_EQ(report.find("another run works in this folder (working copies in use: osrc_tmp-1.twx)") !=
                  std::string::npos,
              c.named)
        << c.what << "\n" << report;
}

INSTANTIATE_TEST_SUITE_P(Cases, OtherRunsInTheFolder,
                         ::testing::Values(Case{"failed, another run", true, false, true},
                                           Case{"failed, alone", false, false, false},
                                           Case{"succeeded, another run", true, true, false}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != '\0'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

}  // namespace
