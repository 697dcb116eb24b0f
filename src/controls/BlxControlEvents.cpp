#include "controls/BlxControlEvents.h"

#include "ui/BlxApplication.h"
#include "ui/BlxControl.h"
#include "ui/BlxLocale.h"
#include "ui/BlxWindow.h"

#include <cstdio>
#include <cstdlib>

namespace tumblet
{

namespace
{
constexpr const char* kMinusSign = "\xE2\x88\x92"; // U+2212
}

bool BlxRaiseBeforeMouseDown(const TBlxBeforeMouseDownEvent& hook, TBlxControl& sender,
                             const TBlxMouseEvent& e)
{
    bool proceed = true;
    if (hook)
    {
        hook(sender, e.Button, BlxHeldShift(e.Shift), e.Pos.X, e.Pos.Y, proceed);
    }
    return proceed;
}

unsigned BlxHeldShift(unsigned shift)
{
    return shift | TBlxApplication::Instance().PointerButtons();
}

bool BlxPointerOver(const TBlxControl& control)
{
    // The pointer comes in device pixels and the control's place in logical ones: compare
    // them in the window, where the scale is known.
    const TBlxWindow* window = control.Window();
    return window && control.BoundsInWindow().Contains(window->PointerInWindow());
}

std::string BlxIntText(int n)
{
    if (n < 0)
    {
        return kMinusSign + std::to_string(-static_cast<long long>(n));
    }
    return std::to_string(n);
}

std::string BlxFloatText(double value)
{
    if (value == 0)
    {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", std::fabs(value));
    std::string text = buffer;
    size_t dot = text.find('.');
    if (dot != std::string::npos)
    {
        text.replace(dot, 1, TBlxLocale::DecimalSeparator());
    }
    return value < 0 ? kMinusSign + text : text;
}

int BlxCharCount(const std::string& utf8)
{
    int count = 0;
    for (unsigned char c : utf8)
    {
        count += (c & 0xC0) != 0x80;
    }
    return count;
}

} // namespace tumblet
