#include "controls/BlxGuiStitchedSwitch.h"

#include "ui/BlxHooks.h"
#include "ui/BlxStyle.h"

namespace tumblet
{

namespace
{
constexpr int kSwitchSize = 24;
}

TBlxGuiStitchedSwitch::TBlxGuiStitchedSwitch()
{
    SetBounds(0, 0, kSwitchSize, kSwitchSize);
    SetColor(BlxColors::Black);
    LoadStrip(StripFor(""));
    SetImageList(&FOwnImages);
    SetImageIndex(0);
    SetFrameIndex(0);
}

TBlxGuiStitchedSwitch::~TBlxGuiStitchedSwitch()
{
    FDestroying = true;
}

const char* TBlxGuiStitchedSwitch::StripFor(const std::string& skinName)
{
    if (skinName == "Carbon" || skinName == "Zuzereda")
    {
        return "STITCHED_ONOFF_DARK";
    }
    return "STITCHED_ONOFF_BRIGHT";
}

void TBlxGuiStitchedSwitch::LoadStrip(const std::string& resource)
{
    if (resource == FStripName && FOwnImages.Count() == 1)
    {
        return;
    }
    FStripName = resource;
    FOwnImages.Clear();
    FOwnImages.AddResource(resource, 2);
    Invalidate();
}

void TBlxGuiStitchedSwitch::Loaded()
{
    LoadStrip(StripFor(SkinName()));
    int frame = FrameIndex() < 0 ? 0 : FrameIndex();
    TGuiCustomStitchedControl::Loaded();
    SetFrameIndex(frame);
}

void TBlxGuiStitchedSwitch::SetValue(bool on)
{
    ShowFrame(on ? 1 : 0);
}

void TBlxGuiStitchedSwitch::ShowFrame(int index)
{
    if (SetFrameIndex(index) && !Loading() && !FDestroying)
    {
        Raise(OnChange, *this);
    }
}

bool TBlxGuiStitchedSwitch::MouseDown(const TBlxMouseEvent& e)
{
    if (!BlxRaiseBeforeMouseDown(OnBeforeMouseDown, *this, e))
    {
        return true;
    }
    int count = GlyphCount();
    if (count <= 0)
    {
        return true;
    }
    int frame = FrameIndex();
    if (e.Button == TBlxMouseButton::Left)
    {
        ShowFrame(frame + 1 >= count ? 0 : frame + 1);
    }
    else if (e.Button == TBlxMouseButton::Right)
    {
        ShowFrame(frame <= 0 ? count - 1 : frame - 1);
    }
    return true;
}

} // namespace tumblet
