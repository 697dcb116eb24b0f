#pragma once

#include "ui/BlxCairo.h"
#include "ui/BlxFont.h"
#include "ui/BlxText.h"
#include "ui/BlxTypes.h"

#include <string>
#include <utility>
#include <vector>

namespace tumblet
{

class TBlxPixelBuffer;

/// Drawing operations on a cairo context. Coordinates are pixels of the painting control; the
/// canvas does not own the context. Thread: UI.
class TBlxCanvas
{
public:
    explicit TBlxCanvas(cairo_t* cr, double scale = 1.0) : FCairo(cr), FScale(scale) {}

    /// Device pixels per canvas pixel: artwork is rendered at this scale to stay sharp.
    double Scale() const { return FScale; }
    /// Back to the window's origin, drawing in logical pixels through the scale.
    void ResetTransform();

    /// For drawing that the canvas does not offer (gradients, paths).
    cairo_t* Cairo() const { return FCairo; }

    void Save() { cairo_save(FCairo); }
    void Restore() { cairo_restore(FCairo); }
    void Translate(int dx, int dy) { cairo_translate(FCairo, dx, dy); }
    void ClipRect(const TBlxRect& r);
    /// The current clip in canvas coordinates.
    TBlxRect ClipBounds() const;
    void SetColor(TBlxColor c);

    void FillRect(const TBlxRect& r, TBlxColor c);
    /// A frame of `width` pixels inside r.
    void FrameRect(const TBlxRect& r, TBlxColor c, double width = 1);
    void FillRoundRect(const TBlxRect& r, double radius, TBlxColor c);
    void FrameRoundRect(const TBlxRect& r, double radius, TBlxColor c, double width = 1);
    void FillEllipse(const TBlxRect& r, TBlxColor c);
    void Line(double x1, double y1, double x2, double y2, TBlxColor c, double width = 1);
    void FillPolygon(const std::vector<std::pair<double, double>>& points, TBlxColor c);

    /// Draws text inside r, clipped to it, aligned as `format` says, in font.Color.
    void DrawText(const TBlxRect& r, const std::string& text, const TBlxFont& font,
                  const TBlxTextFormat& format = {});
    /// Blends an image with its top-left corner at (x, y); an image made at the canvas's scale
    /// (imageScale) is drawn pixel for pixel, not stretched.
    void DrawImage(const TBlxPixelBuffer& image, int x, int y, double opacity = 1.0,
                   double imageScale = 1.0);
    /// Fills the clip with an image repeated from the canvas origin, replacing what was there;
    /// imageScale as for DrawImage.
    void TileImage(const TBlxPixelBuffer& image, double imageScale = 1.0);
    /// Copies the pixels already painted under r (canvas coordinates) into `into`, resized to r:
    /// the way a transparent control gets its parent's pixels.
    void GrabBackground(TBlxPixelBuffer& into, const TBlxRect& r) const;

private:
    void RoundRectPath(double x, double y, double w, double h, double radius);

    /// Moves a stroke's centre line so that a line of `width` covers whole device pixels.
    double SnapStroke(double coordinate, double width, bool vertical) const;
    /// A line width rounded to whole device pixels, in canvas pixels.
    double StrokeWidth(double width) const;

    cairo_t* FCairo;
    double FScale;
};

} // namespace tumblet
