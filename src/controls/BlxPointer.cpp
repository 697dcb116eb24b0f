#include "controls/BlxPointer.h"

#include "ui/BlxApplication.h"
#include "ui/BlxOffscreenPlatform.h"

namespace tumblet
{

namespace
{
bool& HiddenFlag()
{
    static bool hidden = false;
    return hidden;
}
} // namespace

void TBlxPointer::Hide()
{
    if (!HiddenFlag())
    {
        HiddenFlag() = true;
        if (SetVisibleHook())
        {
            SetVisibleHook()(false);
        }
    }
}

void TBlxPointer::Show()
{
    if (HiddenFlag())
    {
        HiddenFlag() = false;
        if (SetVisibleHook())
        {
            SetVisibleHook()(true);
        }
    }
}

bool TBlxPointer::Hidden()
{
    return HiddenFlag();
}

void TBlxPointer::WarpTo(TBlxPoint screen)
{
    if (WarpHook())
    {
        WarpHook()(screen);
        return;
    }
    TBlxApplication& app = TBlxApplication::Instance();
    if (TBlxOffscreenPlatform* offscreen = app.Offscreen())
    {
        offscreen->SetPointer(screen, offscreen->PointerButtons());
    }
}

std::function<void(bool)>& TBlxPointer::SetVisibleHook()
{
    static std::function<void(bool)> hook;
    return hook;
}

std::function<void(TBlxPoint)>& TBlxPointer::WarpHook()
{
    static std::function<void(TBlxPoint)> hook;
    return hook;
}

} // namespace tumblet
