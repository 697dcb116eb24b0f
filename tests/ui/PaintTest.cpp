#include "BlxTestDriver.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxLabel.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

/// Counts its paints and fills itself with a colour (possibly translucent).
class TSwatch : public TBlxControl
{
public:
    explicit TSwatch(TBlxColor c) : FFill(c) {}
    void Paint(TBlxCanvas& canvas) override
    {
        ++Paints;
        canvas.FillRect(ClientRect(), FFill);
    }
    int Paints = 0;

private:
    TBlxColor FFill;
};

/// Keeps its own pixel buffer made from its parent's pixels, like the product panels.
class TBufferedControl : public TBlxControl
{
public:
    void Paint(TBlxCanvas& canvas) override
    {
        canvas.GrabBackground(FBuffer, ClientRect());
        TCairoContextHandle cr = FBuffer.CreateContext();
        TBlxCanvas own(cr.get());
        own.FillRect({0, 0, Width() / 2, Height()}, TBlxColor::Rgb(0, 0, 255).WithAlpha(128));
        canvas.DrawImage(FBuffer, 0, 0);
    }
    TBlxPixelBuffer FBuffer;
};

class TBlxWindowPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen();
        Window.SetBounds(0, 0, 120, 80);
        Window.SetColor(TBlxColor::Rgb(255, 0, 0));
        ASSERT_TRUE(Window.Show());
    }
    TBlxWindow Window;
};

TEST_F(TBlxWindowPaintTest, NothingIsPaintedUntilSomethingIsInvalidated)
{
    TSwatch& s = Window.Add<TSwatch>(TBlxColor::Rgb(0, 255, 0));
    s.SetBounds(10, 10, 20, 20);
    TBlxApplication::Instance().ProcessMessages();
    EXPECT_EQ(s.Paints, 1);
    EXPECT_FALSE(Window.NeedsPaint());
    for (int i = 0; i < 10; ++i)
    {
        TBlxApplication::Instance().ProcessMessages();
    }
    EXPECT_EQ(s.Paints, 1);
    // Damage elsewhere does not repaint the swatch.
    Window.InvalidateWindowRect({80, 50, 10, 10});
    TBlxApplication::Instance().ProcessMessages();
    EXPECT_EQ(s.Paints, 1);
    s.Invalidate();
    TBlxApplication::Instance().ProcessMessages();
    EXPECT_EQ(s.Paints, 2);
}

TEST_F(TBlxWindowPaintTest, TranslucentChildrenBlendOverTheirParent)
{
    TSwatch& s = Window.Add<TSwatch>(TBlxColor::Rgb(0, 0, 255).WithAlpha(128));
    s.SetBounds(10, 10, 20, 20);
    Window.PaintAll();
    TBlxColor inside = Window.BackBuffer().Pixel(15, 15);
    EXPECT_NEAR(inside.R(), 127, 2);
    EXPECT_NEAR(inside.B(), 128, 2);
    EXPECT_EQ(Window.BackBuffer().Pixel(5, 5), TBlxColor::Rgb(255, 0, 0));
}

TEST_F(TBlxWindowPaintTest, BufferedControlsSeeTheParentsPixels)
{
    TSwatch& under = Window.Add<TSwatch>(TBlxColor::Rgb(0, 255, 0));
    under.SetBounds(40, 20, 40, 40);
    TBufferedControl& c = Window.Add<TBufferedControl>();
    c.SetBounds(30, 20, 40, 40);
    Window.PaintAll();
    EXPECT_EQ(Window.BackBuffer().Pixel(65, 30), TBlxColor::Rgb(0, 255, 0));
    EXPECT_EQ(Window.BackBuffer().Pixel(35, 30).G(), 0);
    EXPECT_NEAR(Window.BackBuffer().Pixel(35, 30).B(), 128, 2);
}

TEST_F(TBlxWindowPaintTest, ChildrenAreClippedToTheirParent)
{
    TSwatch& parent = Window.Add<TSwatch>(TBlxColor::Rgb(0, 0, 0));
    parent.SetBounds(10, 10, 20, 20);
    TSwatch& child = parent.Add<TSwatch>(TBlxColor::Rgb(255, 255, 255));
    child.SetBounds(10, 10, 50, 50);
    Window.PaintAll();
    EXPECT_EQ(Window.BackBuffer().Pixel(25, 25), BlxColors::White);
    EXPECT_EQ(Window.BackBuffer().Pixel(35, 35), TBlxColor::Rgb(255, 0, 0));
}

TEST_F(TBlxWindowPaintTest, CentredLabelTextSitsInTheMiddle)
{
    TBlxLabel& l = Window.Add<TBlxLabel>();
    l.SetBounds(0, 0, 120, 80);
    l.SetCaption("WWW");
    l.SetTextColor(BlxColors::Black);
    l.SetAlignment(TBlxAlignment::Center);
    l.SetLayout(TBlxVAlign::Center);
    Window.PaintAll();
    int minX = 1000, maxX = -1;
    for (int x = 0; x < 120; ++x)
    {
        for (int y = 0; y < 80; ++y)
        {
            if (Window.BackBuffer().Pixel(x, y).R() < 100)
            {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
    }
    ASSERT_LT(minX, maxX);
    EXPECT_NEAR((minX + maxX) / 2.0, 60, 3);
}

TEST(BlxTextTest, WrappingMakesTextTallerAndNarrower)
{
    TBlxFont f;
    std::string text = "one two three four five six seven eight nine ten";
    TBlxSize line = BlxText::Extent(f, text);
    TBlxSize wrapped = BlxText::Extent(f, text, 80);
    EXPECT_LE(wrapped.Width, 80);
    EXPECT_GT(wrapped.Height, line.Height * 2);
    TBlxFont bold = f;
    bold.Bold = true;
    EXPECT_GT(BlxText::Extent(bold, text).Width, line.Width);
    TBlxFont big = f;
    big.SizePx = 24;
    EXPECT_GT(BlxText::LineHeight(big), BlxText::LineHeight(f));
}

TEST(BlxTextTest, CaretPositionsGrowAndRoundTrip)
{
    TBlxFont f;
    std::u32string t = U"a\u00e9b\u2212c";
    int previous = -1;
    for (int i = 0; i <= int(t.size()); ++i)
    {
        int x = BlxText::IndexToX(f, t, i);
        EXPECT_GT(x, previous);
        EXPECT_EQ(BlxText::XToIndex(f, t, x), i);
        previous = x;
    }
    EXPECT_EQ(Utf8ToUtf32(Utf32ToUtf8(t)), t);
    EXPECT_EQ(Utf8ToUtf32("a\xff"), U"a\uFFFD");
}

TEST(BlxTimerTest, FiresByTheIntervalFromThePumpOnly)
{
    Offscreen();
    TBlxTimer timer;
    timer.SetInterval(100);
    int fired = 0;
    timer.OnTimer = [&](TBlxTimer&) { ++fired; };
    IdleFor(350);
    EXPECT_EQ(fired, 0) << "disabled";
    timer.SetEnabled(true);
    IdleFor(350);
    EXPECT_EQ(fired, 3);
    timer.SetEnabled(false);
    IdleFor(300);
    EXPECT_EQ(fired, 3);
}

} // namespace
} // namespace tumblet

namespace tumblet
{
namespace
{

TEST(BlxPixelBufferTest, PngRoundTripsThroughMemory)
{
    TBlxPixelBuffer source(3, 2);
    source.Clear(TBlxColor::Rgb(10, 20, 30));
    std::string path = test::SnapshotPath("ui/png_roundtrip");
    ASSERT_TRUE(source.SavePng(path));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    TBlxPixelBuffer loaded;
    ASSERT_TRUE(loaded.LoadPng(bytes.data(), bytes.size()));
    EXPECT_EQ(loaded.Width(), 3);
    EXPECT_EQ(loaded.Pixel(2, 1), TBlxColor::Rgb(10, 20, 30));
    EXPECT_FALSE(loaded.LoadPng(bytes.data(), 10)) << "a truncated PNG is refused";
    EXPECT_EQ(loaded.Width(), 3);
}

} // namespace
} // namespace tumblet
