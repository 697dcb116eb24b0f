// The main of every test binary: a home of the process's own first, then the tests, then a
// verdict on skipped tests. A skip hides a machine that cannot run a test, so it is never
// silent: the binary ends with the skip return code, which ctest shows as "Skipped", and under
// CI=true a skip fails the run unless the test is one that the README lists as unable to run
// on some machines.

#include "support/TestHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace tumblet::test
{
namespace
{

/// ctest's SKIP_RETURN_CODE for every test binary (the Automake convention).
constexpr int kSkippedReturnCode = 77;

/// Tests that may skip even under CI, each with why; the README's list says the same.
struct TAllowedSkip
{
    const char* Test;
    const char* Why;
};
constexpr TAllowedSkip kAllowedSkips[] = {
    {"RenderOutputTargetsTest.DeviceNodeIsWrittenThroughNotReplaced",
     "making a device node needs the mknod privilege, which containers and users lack"},
    {"RenderOutputTargetsTest.MessageNamesTheGivenFileAndTheSystemsReason",
     "it needs sysfs mounted at /sys"},
};

const char* AllowedSkipReason(const std::string& test)
{
    for (const auto& allowed : kAllowedSkips)
    {
        if (test == allowed.Test)
            return allowed.Why;
    }
    return nullptr;
}

bool UnderCi()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

struct TSkipVerdict
{
    int Skipped = 0;
    std::vector<std::string> NotAllowed;
};

TSkipVerdict JudgeSkips(const testing::UnitTest& unit)
{
    TSkipVerdict verdict;
    for (int s = 0; s < unit.total_test_suite_count(); ++s)
    {
        const testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t)
        {
            const testing::TestInfo& info = *suite.GetTestInfo(t);
            if (!info.should_run() || !info.result()->Skipped())
                continue;
            const std::string name = std::string(suite.name()) + "." + info.name();
            std::string message;
            for (int p = 0; p < info.result()->total_part_count(); ++p)
                message += info.result()->GetTestPartResult(p).message();
            ++verdict.Skipped;
            const char* why = AllowedSkipReason(name);
            std::fprintf(stderr, "SKIPPED %s: %s%s%s\n", name.c_str(), message.c_str(),
                         why ? " (allowed: " : "", why ? why : "");
            if (why == nullptr)
                verdict.NotAllowed.push_back(name);
        }
    }
    return verdict;
}

} // namespace
} // namespace tumblet::test

int main(int argc, char** argv)
{
    using namespace tumblet::test;
    try
    {
        TTestHome::Enter();
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "cannot make the test home: %s\n", error.what());
        return 1;
    }
    testing::InitGoogleMock(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    const TSkipVerdict skips = JudgeSkips(*testing::UnitTest::GetInstance());
    TTestHome::Leave();
    if (failed != 0)
        return failed;
    if (UnderCi() && !skips.NotAllowed.empty())
    {
        std::fprintf(stderr,
                     "%zu test(s) skipped under CI=true without being allowed to: the machine "
                     "lacks what they need (see the messages above)\n",
                     skips.NotAllowed.size());
        return 1;
    }
    return skips.Skipped > 0 ? kSkippedReturnCode : 0;
}
