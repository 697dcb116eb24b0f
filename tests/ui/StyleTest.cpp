#include "ui/BlxStyle.h"

#include "ui/BlxTypes.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tumblet
{
namespace
{

TEST(BlxStyleTest, TheFiveStylesAreEmbeddedInOrder)
{
    EXPECT_EQ(TBlxStyle::Names(), (std::vector<std::string>{"Carbon", "Zuzereda", "Light", "Luna",
                                                            "Divodo Vididi Vodov"}));
}

TEST(BlxStyleTest, SelectingByNameChangesThePaletteAndUnknownNamesThrow)
{
    TBlxStyle::Select("Light");
    EXPECT_EQ(TBlxStyle::ActiveName(), "Light");
    EXPECT_EQ(TBlxStyle::Palette().Border, TBlxColor::Rgb(0x93, 0x93, 0x93));
    EXPECT_THROW(TBlxStyle::Select("Nope"), std::runtime_error);
    EXPECT_EQ(TBlxStyle::ActiveName(), "Light") << "a failed selection keeps the style";
    TBlxStyle::SelectNone();
    EXPECT_FALSE(TBlxStyle::Active());
    EXPECT_EQ(TBlxStyle::Palette().ButtonFace, TBlxStyle::PlainPalette().ButtonFace);
}

TEST(BlxStyleTest, DarkStylesHaveLightTextAndLightStylesDarkText)
{
    for (const std::string& name : TBlxStyle::Names())
    {
        TBlxStyle::Select(name);
        const TBlxPalette& p = TBlxStyle::Palette();
        auto luma = [](TBlxColor c) { return 0.3 * c.R() + 0.59 * c.G() + 0.11 * c.B(); };
        EXPECT_GT(std::abs(luma(p.ButtonText) - luma(p.ButtonFace)), 100) << name;
        EXPECT_GT(std::abs(luma(p.WindowText) - luma(p.Window)), 100) << name;
        EXPECT_GT(std::abs(luma(p.MenuText) - luma(p.MenuBackground)), 100) << name;
    }
    TBlxStyle::SelectNone();
}

TEST(BlxStyleTest, PaletteParserReportsFaults)
{
    TBlxPalette p;
    std::string error;
    EXPECT_FALSE(TBlxStyle::ParsePalette("Name = X\nButtonFace = #12345\n", p, error));
    EXPECT_NE(error.find("bad colour"), std::string::npos);
    EXPECT_FALSE(TBlxStyle::ParsePalette("Name = X\nNoSuchKey = #123456\n", p, error));
    EXPECT_NE(error.find("unknown key"), std::string::npos);
    EXPECT_FALSE(TBlxStyle::ParsePalette("Name = X\nButtonFace = #123456\n", p, error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

struct TShadeCase
{
    uint32_t In;
    int Percent;
    uint32_t Darker;
    uint32_t Lighter;
};

class BlxColorShadeTest : public ::testing::TestWithParam<TShadeCase>
{
};

TEST_P(BlxColorShadeTest, RoundsEachChannelToTheNearestInteger)
{
    const TShadeCase& c = GetParam();
    TBlxColor in{0xFF000000u | c.In};
    EXPECT_EQ(in.Darken(c.Percent).Argb, 0xFF000000u | c.Darker);
    EXPECT_EQ(in.Lighten(c.Percent).Argb, 0xFF000000u | c.Lighter);
}

// 255 * 25 / 100 = 63.75 -> 64; ties go to even: 2 * 25 / 100 = 0.5 -> 0, 6 -> 1.5 -> 2.
INSTANTIATE_TEST_SUITE_P(Shades, BlxColorShadeTest,
                         ::testing::Values(TShadeCase{0xFFFFFF, 25, 0xBFBFBF, 0xFFFFFF},
                                           TShadeCase{0x000000, 25, 0x000000, 0x404040},
                                           TShadeCase{0x020606, 25, 0x020404, 0x414444},
                                           TShadeCase{0xC0C0C0, 25, 0x909090, 0xD0D0D0}));

TEST(BlxColorTest, ParsesHexColours)
{
    TBlxColor c;
    ASSERT_TRUE(TBlxColor::Parse("#2C708E", c));
    EXPECT_EQ(c, TBlxColor::Rgb(0x2C, 0x70, 0x8E));
    ASSERT_TRUE(TBlxColor::Parse("#80FFFFFF", c));
    EXPECT_EQ(c.A(), 0x80);
    EXPECT_FALSE(TBlxColor::Parse("2C708E", c));
    EXPECT_FALSE(TBlxColor::Parse("#2C708G", c));
}

} // namespace
} // namespace tumblet
