#pragma once

#include "ui/BlxControl.h"
#include "ui/BlxText.h"

#include <optional>
#include <string>

namespace tumblet
{

/// Static text: one line or word-wrapped, aligned, optionally sized to its text. Thread: UI.
class TBlxLabel : public TBlxControl
{
public:
    TBlxLabel();

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    void SetAlignment(TBlxAlignment a);
    void SetLayout(TBlxVAlign v);
    void SetWordWrap(bool wrap);
    bool WordWrap() const { return FFormat.WordWrap; }
    /// Sizes the label to its text (one line, or wrapped to the current width).
    void SetAutoSize(bool autoSize);
    bool AutoSize() const { return FAutoSize; }
    /// Overrides the skin's text colour.
    void SetTextColor(TBlxColor c);

    void Paint(TBlxCanvas& canvas) override;

protected:
    void AttachedToWindow() override;

private:
    void AdjustSize();

    std::string FCaption;
    TBlxTextFormat FFormat;
    bool FAutoSize = false;
    std::optional<TBlxColor> FTextColor;
};

} // namespace tumblet
