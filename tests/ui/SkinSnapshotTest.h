#pragma once

// A fixture for tests that run once under every skin and write snapshots for review.

#include "BlxTestDriver.h"

#include "ui/BlxControl.h"
#include "ui/BlxLabel.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
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

/// Checks what a picture of a window shows beyond an empty window: every visible control with
/// an area (but a label without text) has more than one colour inside its bounds (its frame,
/// text or artwork), where an empty window, or one whose controls did not paint, is one flat
/// colour.
inline ::testing::AssertionResult EveryControlIsDrawn(const TBlxControl& window,
                                                      const TBlxPixelBuffer& picture)
{
    for (int i = 0; i < window.ChildCount(); ++i)
    {
        const TBlxControl& child = window.Child(i);
        const TBlxRect r = child.BoundsInWindow();
        const auto* label = dynamic_cast<const TBlxLabel*>(&child);
        const bool blank = label != nullptr && label->Caption().empty();
        if (!child.Visible() || blank || r.Width < 2 || r.Height < 2)
            continue;
        std::set<std::uint32_t> colours;
        for (int y = r.Top; y < r.Top + r.Height && y < picture.Height(); ++y)
        {
            for (int x = r.Left; x < r.Left + r.Width && x < picture.Width(); ++x)
                colours.insert(picture.Pixel(x, y).Argb);
        }
        if (colours.size() < 2)
        {
            return ::testing::AssertionFailure()
                   << "the control at " << r.Left << "," << r.Top << " (" << r.Width << "x"
                   << r.Height << ") is one flat colour";
        }
        if (::testing::AssertionResult inner = EveryControlIsDrawn(child, picture); !inner)
            return inner;
    }
    return ::testing::AssertionSuccess();
}

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
