#include "support/TestHome.h"
#include "ui/BlxShell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tumblet
{
namespace
{

namespace fs = std::filesystem;

/// The opener is replaced by a script on PATH that records its argument and exits with a code.
struct TOpenerCase
{
    const char* Script; ///< null: no xdg-open on PATH at all
    bool Opened;
};

class ShellOpenTest : public ::testing::TestWithParam<TOpenerCase>
{
};

TEST_P(ShellOpenTest, ReportsTheOpenersOutcome)
{
    const fs::path bin = test::TTestHome::NewFolder("shell");
    fs::path record = bin / "argument";
    if (GetParam().Script)
    {
        std::ofstream(bin / "xdg-open")
            << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n"
            << GetParam().Script << "\n";
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    }
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    // Only the test's folder: a real xdg-open must not start anything here.
    setenv("PATH", bin.c_str(), 1);
    bool opened = BlxShellOpen("/some folder/with 'quotes'");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(opened, GetParam().Opened);
    if (GetParam().Script)
    {
        std::ifstream in(record);
        std::string argument((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
        EXPECT_EQ(argument, "/some folder/with 'quotes'") << "one argument, no shell";
    }
    test::RemoveTestFolder(bin);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShellOpenTest,
                         ::testing::Values(TOpenerCase{"exit 0", true},
                                           TOpenerCase{"exit 4", false},
                                           TOpenerCase{nullptr, false}));

} // namespace
} // namespace tumblet
