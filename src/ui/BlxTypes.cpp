#include "ui/BlxTypes.h"

#include <cmath>

namespace tumblet
{

namespace
{

/// a * percent / 100 rounded to the nearest integer, ties to even like every rounding of the
/// product (non-negative operands).
int PercentOf(int a, int percent)
{
    int q = a * percent / 100, r = a * percent % 100;
    return q + ((r > 50 || (r == 50 && q % 2 == 1)) ? 1 : 0);
}

} // namespace

TBlxColor TBlxColor::Darken(int percent) const
{
    auto f = [percent](int c) { return uint8_t(c - PercentOf(c, percent)); };
    return Rgb(f(R()), f(G()), f(B())).WithAlpha(A());
}

TBlxColor TBlxColor::Lighten(int percent) const
{
    auto f = [percent](int c) { return uint8_t(c + PercentOf(255 - c, percent)); };
    return Rgb(f(R()), f(G()), f(B())).WithAlpha(A());
}

TBlxColor TBlxColor::Blend(TBlxColor other, double t) const
{
    auto mix = [t](int a, int b) { return uint8_t(std::lround(a + (b - a) * t)); };
    return Rgb(mix(R(), other.R()), mix(G(), other.G()), mix(B(), other.B()))
        .WithAlpha(mix(A(), other.A()));
}

bool TBlxColor::Parse(const std::string& text, TBlxColor& out)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
    {
        return false;
    }
    uint32_t v = 0;
    for (size_t i = 1; i < text.size(); ++i)
    {
        char c = text[i];
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (d < 0)
        {
            return false;
        }
        v = v * 16 + uint32_t(d);
    }
    out.Argb = text.size() == 7 ? 0xFF000000u | v : v;
    return true;
}

} // namespace tumblet
