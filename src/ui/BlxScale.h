#pragma once

#include <array>

namespace tumblet
{

/// The sizes a window can be drawn at, and which source of a scale wins. Thread: any.
class TBlxScale
{
public:
    /// The sizes offered, in percent: between them text and artwork still land on whole pixels
    /// often enough to stay sharp.
    static constexpr std::array<int, 7> kSteps = {100, 125, 150, 175, 200, 250, 300};

    /// The step nearest to a scale (1.0 is 100 %); a scale that is not positive gives 100.
    static int SnapPercent(double scale);
    /// The first source that says something: the user's choice in percent (0 for none), the
    /// host's scale, then the desktop's (each 0 or less for none); else 100 %. Snapped.
    static int ChoosePercent(int userPercent, double hostScale, double desktopScale);
};

} // namespace tumblet
