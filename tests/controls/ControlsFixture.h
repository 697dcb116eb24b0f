#pragma once

// A shown offscreen window to put bare controls in, and small helpers for the control tests.

#include "ui/BlxTestDriver.h"

#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet::test
{

/// The palette of the selected skin, as the editor hands it to its controls; null for none.
inline const TBlxPalette* CurrentSkin()
{
    return TBlxStyle::Active() ? &TBlxStyle::Palette() : nullptr;
}

class TControlsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen();
        TBlxStyle::SelectNone();
        Form.SetClientSize(400, 300);
        Form.SetColor(BlxColors::White);
        ASSERT_TRUE(Form.Show());
    }
    void TearDown() override { TBlxStyle::SelectNone(); }

    /// Press, moves through each point, release, all with the left button.
    void Drag(TBlxPoint from, std::initializer_list<TBlxPoint> path, unsigned shift = 0)
    {
        MoveTo(Form, from);
        MouseDown(Form, from, TBlxMouseButton::Left, shift);
        TBlxPoint last = from;
        for (TBlxPoint p : path)
        {
            MoveTo(Form, p, shift);
            last = p;
        }
        MouseUp(Form, last, TBlxMouseButton::Left, shift);
    }
    /// A wheel notch with the pointer at p (in window coordinates).
    void Wheel(TBlxPoint p, int notches, unsigned shift = 0)
    {
        MoveTo(Form, p);
        WheelAt(Form, p, notches, shift);
    }
    TBlxColor PixelAt(TBlxPoint windowPos)
    {
        Form.PaintAll();
        return Form.BackBuffer().Pixel(windowPos.X, windowPos.Y);
    }

    TBlxWindow Form;
};

} // namespace tumblet::test
