#pragma once

#include "ui/BlxControl.h"

#include <string>

namespace tumblet
{

/// A push button with the dialog roles: the default button answers Enter, the cancel button
/// Escape; a click sets the window's modal result when ModalResult is not None. Thread: UI.
class TBlxButton : public TBlxControl
{
public:
    TBlxButton();

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Default() const { return FDefault; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool isCancel);
    TBlxModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TBlxModalResult r) { FModalResult = r; }
    /// True while pressed with the pointer over it.
    bool Down() const { return FDown && FHot; }

    void Click() override;
    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool KeyPress(char32_t& ch) override;
    void CaptureLost() override;

protected:
    void AttachedToWindow() override;

private:
    std::string FCaption;
    bool FDefault = false;
    bool FCancel = false;
    bool FDown = false;
    bool FHot = false;
    TBlxModalResult FModalResult = TBlxModalResult::None;
};

} // namespace tumblet
