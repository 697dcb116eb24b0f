#include "ui/BlxScale.h"

#include <cmath>
#include <cstdlib>

namespace tumblet
{

int TBlxScale::SnapPercent(double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
    {
        return kSteps.front();
    }
    const double percent = scale * 100;
    int best = kSteps.front();
    for (int step : kSteps)
    {
        // Halfway between two steps goes up: a 112.5 % desktop wants the larger size.
        if (std::abs(step - percent) <= std::abs(best - percent))
        {
            best = step;
        }
    }
    return best;
}

int TBlxScale::ChoosePercent(int userPercent, double hostScale, double desktopScale)
{
    if (userPercent > 0)
    {
        return SnapPercent(userPercent / 100.0);
    }
    if (hostScale > 0)
    {
        return SnapPercent(hostScale);
    }
    return SnapPercent(desktopScale);
}

} // namespace tumblet
