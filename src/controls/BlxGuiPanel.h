#pragma once

#include "controls/BlxSkinned.h"
#include "ui/BlxControl.h"
#include "ui/BlxPixelBuffer.h"

#include <string>

namespace tumblet
{

struct TBlxPalette;

/// The rounded, semi-transparent panel that groups the editor's controls. The rounded shape is
/// drawn once into a pixel buffer of its own, rebuilt only when the size or a property changed,
/// and blended over the parent's pixels (or the control colour) on every paint. The generic
/// panel layers are folded in. All members: Thread: UI.
class TBlxGuiPanel : public TBlxControl, public TBlxSkinned
{
public:
    TBlxGuiPanel();

    TBlxColor PanelColor() const { return FPanelColor; }
    void SetPanelColor(TBlxColor color);
    /// Opacity of the fill, 0 transparent to 255 opaque.
    uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(uint8_t alpha);
    TBlxColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TBlxColor color);
    /// Outline width in pixels; drawn at least 1 pixel wide.
    float BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(float width);
    /// Corner radius in pixels; at most half the shorter side is used.
    float BorderRadius() const { return FBorderRadius; }
    void SetBorderRadius(float radius);
    bool BorderVisible() const { return FBorderVisible; }
    void SetBorderVisible(bool visible);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    bool Native() const { return FNative; }
    void SetNative(bool native);
    bool UseStyles() const { return FUseStyles; }
    void SetUseStyles(bool use) { FUseStyles = use; }
    bool PanelGroupColor() const { return FPanelGroupColor; }
    void SetPanelGroupColor(bool group) { FPanelGroupColor = group; }
    bool DimBorderColor() const { return FDimBorderColor; }
    void SetDimBorderColor(bool dim) { FDimBorderColor = dim; }

    /// Takes the colours of its skin when UseStyles is set (not in design mode).
    void Loaded(bool designMode = false);
    /// The skin rules alone: fill and outline colours for a palette.
    void ApplyPalette(const TBlxPalette& palette);

    /// How often the shape buffer was rebuilt (for tests and benchmarks).
    int RebuildCount() const { return FRebuilds; }
    /// Redraws the shape buffer now if it is out of date.
    void EnsureShape(double scale = 1.0);

    void Paint(TBlxCanvas& canvas) override;

protected:
    void Resized() override;

private:
    void Changed();
    void RebuildShape();

    TBlxColor FPanelColor = BlxColors::White;
    uint8_t FAlpha = 255;
    TBlxColor FBorderColor = BlxColors::White;
    float FBorderWidth = 1;
    float FBorderRadius = 10;
    bool FBorderVisible = true;
    bool FTransparent = true;
    bool FNative = false;
    bool FUseStyles = true;
    bool FPanelGroupColor = false;
    bool FDimBorderColor = false;
    TBlxPixelBuffer FShape;
    bool FShapeValid = false;
    double FShapeScale = 1.0;
    int FRebuilds = 0;
};

} // namespace tumblet
