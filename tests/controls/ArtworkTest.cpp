#include "controls/BlxArtwork.h"
#include "controls/GuiStitchedPNGList.h"

#include <gtest/gtest.h>

#include <vector>

namespace tumblet
{
namespace
{

struct TStrip
{
    const char* Name;
    int Width;
    int Height;
    bool Opaque;
};

class TBlxArtworkTest : public ::testing::TestWithParam<TStrip>
{
};

/// Reads the PNG header: bit depth 8, colour type 6 (RGBA) for the strips with transparency;
/// the opaque images may be stored as RGB (type 2).
void ExpectPng8(std::span<const unsigned char> png, bool opaque)
{
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(png[24], 8) << "bit depth";
    if (opaque)
    {
        EXPECT_TRUE(png[25] == 2 || png[25] == 6) << "colour type " << int(png[25]);
    }
    else
    {
        EXPECT_EQ(png[25], 6) << "colour type RGBA";
    }
}

TEST_P(TBlxArtworkTest, IsAnEightBitPngOfTheFixedSize)
{
    const TStrip& s = GetParam();
    ExpectPng8(TBlxArtwork::Png(s.Name), s.Opaque);
    auto image = TBlxArtwork::Image(s.Name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), s.Width);
    EXPECT_EQ(image->Height(), s.Height);
    if (s.Opaque)
    {
        for (int y = 0; y < s.Height; y += 3)
        {
            for (int x = 0; x < s.Width; x += 3)
            {
                ASSERT_EQ(image->Pixel(x, y).A(), 255) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Resources, TBlxArtworkTest,
    ::testing::Values(TStrip{"Dial100", 48, 4848, false}, TStrip{"Dial100_Center", 48, 4848, false},
                      TStrip{"Dial5", 48, 240, false}, TStrip{"Dial200", 48, 9648, false},
                      TStrip{"STITCHED_ONOFF_DARK", 24, 48, true},
                      TStrip{"STITCHED_ONOFF_BRIGHT", 24, 48, true},
                      TStrip{"EditorBackground", 16, 16, true}, TStrip{"menu16", 16, 16, true}));

TEST(BlxArtworkSharingTest, DecodesOnceAndSharesThePixels)
{
    TGuiStitchedPNGList a, b;
    a.LoadDialStrips();
    b.LoadDialStrips();
    ASSERT_EQ(a.Count(), 4);
    EXPECT_EQ(a.Item(3)->Image(), b.Item(3)->Image());
    EXPECT_EQ(TBlxArtwork::Image("Dial5").get(), a.Item(2)->Image());
    EXPECT_EQ(TBlxArtwork::Image("NoSuchImage"), nullptr);
    EXPECT_TRUE(TBlxArtwork::Png("NoSuchImage").empty());
}

TEST(BlxArtworkSharingTest, DialListHasTheFixedFramesAndNames)
{
    TGuiStitchedPNGList list;
    list.LoadDialStrips();
    const std::vector<std::pair<std::string, int>> expected = {
        {"Dial100", 101}, {"Dial100_Center", 101}, {"Dial5", 5}, {"Dial200", 201}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(list.Item(i)->DisplayName(), expected[size_t(i)].first);
        EXPECT_EQ(list.Item(i)->GlyphCount(), expected[size_t(i)].second);
        EXPECT_EQ(list.Item(i)->FrameSize(), (TBlxSize{48, 48}));
        EXPECT_EQ(list.Item(i)->FrameRect(2), (TBlxRect{0, 96, 48, 48}));
    }
    EXPECT_EQ(list.IndexOf("Dial200"), 3);
    EXPECT_TRUE(list.Item(2)->FrameRect(5).IsEmpty());
}

TEST(BlxArtworkLookTest, MenuGlyphIsThreeBlackBarsOnMagenta)
{
    auto glyph = TBlxArtwork::Image("menu16");
    ASSERT_NE(glyph, nullptr);
    for (int y = 0; y < 16; ++y)
    {
        for (int x = 0; x < 16; ++x)
        {
            bool bar =
                x >= 2 && x <= 13 && (y == 3 || y == 4 || y == 7 || y == 8 || y == 11 || y == 12);
            EXPECT_EQ(glyph->Pixel(x, y),
                      bar ? TBlxColor::Rgb(0, 0, 0) : TBlxColor::Rgb(255, 0, 255))
                << x << "," << y;
        }
    }
}

TEST(BlxArtworkLookTest, CentreDialLightsNothingAtItsMiddleFrame)
{
    // The value arc of the bipolar strip starts at the top centre: the middle frame shows no
    // lit arc, the first and last frames do.
    auto strip = TBlxArtwork::Image("Dial100_Center");
    ASSERT_NE(strip, nullptr);
    auto litPixels = [&](int frame)
    {
        int lit = 0;
        for (int y = 0; y < 48; ++y)
        {
            for (int x = 0; x < 48; ++x)
            {
                TBlxColor c = strip->Pixel(x, frame * 48 + y);
                lit += c.A() > 200 && c.B() > 200 && c.R() < 120;
            }
        }
        return lit;
    };
    EXPECT_EQ(litPixels(50), 0);
    EXPECT_GT(litPixels(0), 50);
    EXPECT_GT(litPixels(100), 50);
}

} // namespace
} // namespace tumblet
