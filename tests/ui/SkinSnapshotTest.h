#pragma once

// A fixture for tests that run once under every skin and write snapshots for review.

#include "BlxTestDriver.h"

#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tumblet::test
{

/// Selects the skin named by the test parameter for the test's duration, with the pointer
/// parked in the corner so that no hover shows in the pictures.
class TSkinSnapshotTest : public ::testing::TestWithParam<std::string>
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        TBlxStyle::Select(GetParam());
    }
    void TearDown() override { TBlxStyle::SelectNone(); }

    /// The snapshot file for `what` in `folder`, named after the skin.
    std::string SkinSnapshotPath(const std::string& folder, const std::string& what) const
    {
        std::string slug;
        for (char c : GetParam())
        {
            slug += c == ' ' ? '_' : c;
        }
        return SnapshotPath(folder + "/" + what + "_" + slug);
    }
};

/// Every skin the editor offers, by the names the settings store.
inline auto AllSkins()
{
    return ::testing::Values("Carbon", "Zuzereda", "Light", "Luna", "Divodo Vididi Vodov");
}

/// A test name made of the skin name's letters and digits.
inline std::string SkinTestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (char c : info.param)
    {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

} // namespace tumblet::test
