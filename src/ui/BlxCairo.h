#pragma once

// RAII handles for the cairo and pango objects the layer keeps.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>

namespace tumblet
{

struct TCairoSurfaceDeleter
{
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct TCairoContextDeleter
{
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct TGObjectDeleter
{
    void operator()(void* o) const { g_object_unref(o); }
};
struct TPangoFontDescriptionDeleter
{
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

using TCairoSurfaceHandle = std::unique_ptr<cairo_surface_t, TCairoSurfaceDeleter>;
using TCairoContextHandle = std::unique_ptr<cairo_t, TCairoContextDeleter>;
using TPangoLayoutHandle = std::unique_ptr<PangoLayout, TGObjectDeleter>;
using TPangoFontDescriptionHandle =
    std::unique_ptr<PangoFontDescription, TPangoFontDescriptionDeleter>;

} // namespace tumblet
