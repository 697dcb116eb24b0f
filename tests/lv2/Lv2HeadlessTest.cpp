// The LV2 plug-in library as a host on a machine without a display stack meets it: it names
// none of the drawing libraries, and it loads and plays in a process that never maps one. This
// binary links nothing of the display stack itself, so any such library in the process came
// with the plug-in.

#include "Lv2TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace tumblet::test
{
namespace
{

const std::vector<std::string> kDisplayLibraries = {
    "libX11", "libxcb", "libXext", "libcairo", "libpango", "libfontconfig", "libfreetype"};

std::vector<std::string> DisplayLibrariesIn(const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& name : kDisplayLibraries)
        if (text.find(name) != std::string::npos)
            found.push_back(name);
    return found;
}

std::string CommandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r"))
    {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST_F(Lv2HostTest, PluginLibraryNeedsNoDisplayStackAndPlaysWithoutOne)
{
    const std::string library = Bundle + "/Tumblet_lv2.so";
    const std::string needed = CommandOutput("readelf -d '" + library + "'");
    ASSERT_NE(needed.find("(NEEDED)"), std::string::npos) << "readelf read nothing:\n" << needed;
    EXPECT_EQ(DisplayLibrariesIn(needed), std::vector<std::string>{}) << needed;

    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    TLv2Host lv2(FWorld, FPlugin, FMap);
    ASSERT_NE(lv2.Instance(), nullptr);
    const double bar = 0;
    constexpr int kBlocks = 2 * 4 * 44100 / 2 / kBlock; // two bars at 120 BPM
    for (int block = 0; block < kBlocks; ++block)
        lv2.Run(kBlock, block == 0 ? &bar : nullptr,
                block == 0 ? std::vector<TInEvent>{NoteOn(60), NoteOn(64), NoteOn(67)}
                           : std::vector<TInEvent>{});
    EXPECT_GE(lv2.Events.size(), 16u) << "the chord was not arpeggiated";

    std::ifstream maps("/proc/self/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)),
                             std::istreambuf_iterator<char>());
    ASSERT_NE(mapped.find("Tumblet_lv2.so"), std::string::npos);
    EXPECT_EQ(DisplayLibrariesIn(mapped), std::vector<std::string>{});
}

} // namespace
} // namespace tumblet::test
