#include "GuideDocument.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>

namespace tumblet::guide
{

namespace
{

// A4 in points, and the text area inside the margins.
constexpr double kPageWidth = 595.276;
constexpr double kPageHeight = 841.89;
constexpr double kMarginX = 62;
constexpr double kMarginTop = 64;
constexpr double kMarginBottom = 70;
constexpr double kTextWidth = kPageWidth - 2 * kMarginX;
constexpr double kBottom = kPageHeight - kMarginBottom;

// Fonts by pango description; sizes in points (the layouts render at 72 dpi).
constexpr const char* kBody = "DejaVu Sans 9.5";
constexpr const char* kBodySmall = "DejaVu Sans 8.5";
constexpr const char* kHeading1 = "DejaVu Sans Bold 19";
constexpr const char* kHeading2 = "DejaVu Sans Bold 12";
constexpr const char* kMono = "DejaVu Sans Mono 8.5";
constexpr const char* kFooter = "DejaVu Sans 8";

constexpr double kParagraphGap = 7;
constexpr double kCellPad = 4;

// The guide's accent colour and greys, as r, g, b in 0..1.
struct TRgb
{
    double R, G, B;
};
constexpr TRgb kAccent{0.13, 0.36, 0.56};
constexpr TRgb kText{0.1, 0.1, 0.1};
constexpr TRgb kRule{0.75, 0.78, 0.82};
constexpr TRgb kShade{0.92, 0.94, 0.96};
constexpr TRgb kMuted{0.4, 0.4, 0.4};

void SetColour(cairo_t* cr, TRgb c)
{
    cairo_set_source_rgb(cr, c.R, c.G, c.B);
}

struct TLayoutDeleter
{
    void operator()(PangoLayout* l) const { g_object_unref(l); }
};
using TLayoutHandle = std::unique_ptr<PangoLayout, TLayoutDeleter>;

} // namespace

TGuideDocument::TGuideDocument(const std::string& pdfPath)
{
    FSurface = cairo_pdf_surface_create(pdfPath.c_str(), kPageWidth, kPageHeight);
    if (cairo_surface_status(FSurface) != CAIRO_STATUS_SUCCESS)
    {
        return;
    }
    cairo_pdf_surface_set_metadata(FSurface, CAIRO_PDF_METADATA_TITLE, "Tumblet User Guide");
    cairo_pdf_surface_set_metadata(FSurface, CAIRO_PDF_METADATA_AUTHOR, "Brindlex");
    cairo_pdf_surface_set_metadata(FSurface, CAIRO_PDF_METADATA_CREATOR, "tumblet-guide");
    FCairo = cairo_create(FSurface);
}

TGuideDocument::~TGuideDocument()
{
    if (FCairo)
    {
        cairo_destroy(FCairo);
    }
    if (FSurface)
    {
        cairo_surface_destroy(FSurface);
    }
}

bool TGuideDocument::Ok() const
{
    return FCairo && cairo_status(FCairo) == CAIRO_STATUS_SUCCESS;
}

PangoLayout* TGuideDocument::NewLayout(const std::string& markup, const char* font,
                                       double width) const
{
    PangoLayout* layout = pango_cairo_create_layout(FCairo);
    pango_cairo_context_set_resolution(pango_layout_get_context(layout), 72);
    pango_layout_context_changed(layout);
    PangoFontDescription* desc = pango_font_description_from_string(font);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_width(layout, pango_units_from_double(width));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_spacing(layout, pango_units_from_double(1.5));
    pango_layout_set_markup(layout, markup.c_str(), -1);
    return layout;
}

double TGuideDocument::LayoutHeight(PangoLayout* layout) const
{
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    return pango_units_to_double(h);
}

void TGuideDocument::DrawLayout(PangoLayout* layout, double x, double y) const
{
    cairo_move_to(FCairo, x, y);
    pango_cairo_show_layout(FCairo, layout);
}

void TGuideDocument::NewPage()
{
    if (FPageStarted)
    {
        Footer();
        cairo_show_page(FCairo);
    }
    ++FPage;
    FPageStarted = true;
    FY = kMarginTop;
}

void TGuideDocument::EnsureSpace(double height)
{
    if (!FPageStarted || FY + height > kBottom)
    {
        NewPage();
    }
}

void TGuideDocument::Footer()
{
    if (FPage <= 1)
    {
        return;
    }
    SetColour(FCairo, kRule);
    cairo_rectangle(FCairo, kMarginX, kPageHeight - 48, kTextWidth, 0.6);
    cairo_fill(FCairo);
    SetColour(FCairo, kMuted);
    TLayoutHandle left(NewLayout("Tumblet User Guide", kFooter, kTextWidth));
    DrawLayout(left.get(), kMarginX, kPageHeight - 42);
    TLayoutHandle right(NewLayout(std::to_string(FPage), kFooter, kTextWidth));
    pango_layout_set_alignment(right.get(), PANGO_ALIGN_RIGHT);
    DrawLayout(right.get(), kMarginX, kPageHeight - 42);
}

void TGuideDocument::TitlePage(const std::string& title, const std::string& subtitle,
                               const std::vector<std::string>& lines)
{
    NewPage();
    SetColour(FCairo, kAccent);
    cairo_rectangle(FCairo, 0, 0, kPageWidth, 250);
    cairo_fill(FCairo);
    cairo_set_source_rgb(FCairo, 1, 1, 1);
    TLayoutHandle t(NewLayout(title, "DejaVu Sans Bold 34", kTextWidth));
    DrawLayout(t.get(), kMarginX, 130);
    TLayoutHandle s(NewLayout(subtitle, "DejaVu Sans 13", kTextWidth));
    DrawLayout(s.get(), kMarginX, 185);
    FY = 300;
    SetColour(FCairo, kText);
    for (const std::string& line : lines)
    {
        TLayoutHandle l(NewLayout(line, "DejaVu Sans 11", kTextWidth));
        DrawLayout(l.get(), kMarginX, FY);
        FY += LayoutHeight(l.get()) + 8;
    }
    FY = kBottom;
}

void TGuideDocument::Section(const std::string& title)
{
    NewPage();
    FOutlineSection = cairo_pdf_surface_add_outline(FSurface, CAIRO_PDF_OUTLINE_ROOT, title.c_str(),
                                                    ("page=" + std::to_string(FPage)).c_str(),
                                                    CAIRO_PDF_OUTLINE_FLAG_OPEN);
    SetColour(FCairo, kAccent);
    TLayoutHandle layout(NewLayout(title, kHeading1, kTextWidth));
    DrawLayout(layout.get(), kMarginX, FY);
    FY += LayoutHeight(layout.get()) + 6;
    cairo_rectangle(FCairo, kMarginX, FY, kTextWidth, 1.2);
    cairo_fill(FCairo);
    FY += 16;
}

void TGuideDocument::Subsection(const std::string& title)
{
    TLayoutHandle layout(NewLayout(title, kHeading2, kTextWidth));
    double h = LayoutHeight(layout.get());
    // Keep a heading with the first lines that follow it.
    EnsureSpace(h + 60);
    FY += 6;
    cairo_pdf_surface_add_outline(FSurface, FOutlineSection, title.c_str(),
                                  ("page=" + std::to_string(FPage)).c_str(),
                                  cairo_pdf_outline_flags_t(0));
    SetColour(FCairo, kAccent);
    DrawLayout(layout.get(), kMarginX, FY);
    FY += h + 5;
}

void TGuideDocument::Paragraph(const std::string& markup)
{
    TLayoutHandle layout(NewLayout(markup, kBody, kTextWidth));
    double h = LayoutHeight(layout.get());
    EnsureSpace(h);
    SetColour(FCairo, kText);
    DrawLayout(layout.get(), kMarginX, FY);
    FY += h + kParagraphGap;
}

void TGuideDocument::Bullets(const std::vector<std::string>& markupItems)
{
    constexpr double kIndent = 14;
    for (const std::string& item : markupItems)
    {
        TLayoutHandle layout(NewLayout(item, kBody, kTextWidth - kIndent));
        double h = LayoutHeight(layout.get());
        EnsureSpace(h);
        SetColour(FCairo, kAccent);
        cairo_new_path(FCairo);
        cairo_arc(FCairo, kMarginX + 4, FY + 6.5, 1.8, 0, 6.2832);
        cairo_fill(FCairo);
        SetColour(FCairo, kText);
        DrawLayout(layout.get(), kMarginX + kIndent, FY);
        FY += h + 3.5;
    }
    FY += kParagraphGap - 3.5;
}

double TGuideDocument::TableRowHeight(const std::vector<double>& widths,
                                      const std::vector<std::string>& row, const char* font) const
{
    double h = 0;
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
    {
        TLayoutHandle layout(NewLayout(row[c], font, widths[c] * kTextWidth - 2 * kCellPad));
        h = std::max(h, LayoutHeight(layout.get()));
    }
    return h + 2 * kCellPad;
}

void TGuideDocument::TableRow(const std::vector<double>& widths,
                              const std::vector<std::string>& row, bool header)
{
    const char* font = header ? "DejaVu Sans Bold 8.5" : kBodySmall;
    double h = TableRowHeight(widths, row, font);
    if (header)
    {
        SetColour(FCairo, kShade);
        cairo_rectangle(FCairo, kMarginX, FY, kTextWidth, h);
        cairo_fill(FCairo);
    }
    double x = kMarginX;
    SetColour(FCairo, kText);
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
    {
        double w = widths[c] * kTextWidth;
        TLayoutHandle layout(NewLayout(row[c], font, w - 2 * kCellPad));
        DrawLayout(layout.get(), x + kCellPad, FY + kCellPad);
        x += w;
    }
    FY += h;
    SetColour(FCairo, kRule);
    cairo_rectangle(FCairo, kMarginX, FY - 0.5, kTextWidth, 0.5);
    cairo_fill(FCairo);
}

void TGuideDocument::Table(const std::vector<double>& widths,
                           const std::vector<std::vector<std::string>>& markupRows)
{
    if (markupRows.empty())
    {
        return;
    }
    const std::vector<std::string>& header = markupRows.front();
    double headerHeight = TableRowHeight(widths, header, "DejaVu Sans Bold 8.5");
    EnsureSpace(headerHeight +
                TableRowHeight(widths, markupRows.size() > 1 ? markupRows[1] : header, kBodySmall));
    TableRow(widths, header, true);
    for (size_t r = 1; r < markupRows.size(); ++r)
    {
        double h = TableRowHeight(widths, markupRows[r], kBodySmall);
        if (FY + h > kBottom)
        {
            // The header comes again at the top of the next page.
            NewPage();
            TableRow(widths, header, true);
        }
        TableRow(widths, markupRows[r], false);
    }
    FY += kParagraphGap + 4;
}

void TGuideDocument::Picture(const std::string& pngPath, const std::string& caption,
                             const std::string& missingNote, double pixelScale)
{
    constexpr double kMaxHeight = 330;
    cairo_surface_t* image = cairo_image_surface_create_from_png(pngPath.c_str());
    bool ok = cairo_surface_status(image) == CAIRO_STATUS_SUCCESS;
    double w = kTextWidth * 0.6, h = 140;
    if (ok)
    {
        double iw = cairo_image_surface_get_width(image);
        double ih = cairo_image_surface_get_height(image);
        // Pixels at 96 dpi shown at their size on paper where they fit.
        double scale =
            std::min({0.75 / std::max(1.0, pixelScale), kTextWidth / iw, kMaxHeight / ih});
        w = iw * scale;
        h = ih * scale;
    }
    TLayoutHandle captionLayout(NewLayout("<i>" + caption + "</i>", kBodySmall, kTextWidth));
    double captionHeight = LayoutHeight(captionLayout.get());
    EnsureSpace(h + captionHeight + 12);
    double x = kMarginX + (kTextWidth - w) / 2;
    if (ok)
    {
        cairo_save(FCairo);
        cairo_translate(FCairo, x, FY);
        cairo_scale(FCairo, w / cairo_image_surface_get_width(image),
                    h / cairo_image_surface_get_height(image));
        cairo_set_source_surface(FCairo, image, 0, 0);
        cairo_paint(FCairo);
        cairo_restore(FCairo);
    }
    else
    {
        SetColour(FCairo, kShade);
        cairo_rectangle(FCairo, x, FY, w, h);
        cairo_fill(FCairo);
        SetColour(FCairo, kMuted);
        TLayoutHandle note(NewLayout(missingNote, kBody, w - 20));
        pango_layout_set_alignment(note.get(), PANGO_ALIGN_CENTER);
        DrawLayout(note.get(), x + 10, FY + (h - LayoutHeight(note.get())) / 2);
    }
    cairo_surface_destroy(image);
    SetColour(FCairo, kRule);
    cairo_set_line_width(FCairo, 0.6);
    cairo_rectangle(FCairo, x, FY, w, h);
    cairo_stroke(FCairo);
    FY += h + 5;
    SetColour(FCairo, kMuted);
    pango_layout_set_alignment(captionLayout.get(), PANGO_ALIGN_CENTER);
    DrawLayout(captionLayout.get(), kMarginX, FY);
    FY += captionHeight + kParagraphGap + 4;
}

void TGuideDocument::Code(const std::string& text)
{
    TLayoutHandle layout(NewLayout("", kMono, kTextWidth - 16));
    pango_layout_set_text(layout.get(), text.c_str(), -1);
    double h = LayoutHeight(layout.get());
    EnsureSpace(h + 12);
    SetColour(FCairo, kShade);
    cairo_rectangle(FCairo, kMarginX, FY, kTextWidth, h + 12);
    cairo_fill(FCairo);
    SetColour(FCairo, kText);
    DrawLayout(layout.get(), kMarginX + 8, FY + 6);
    FY += h + 12 + kParagraphGap + 2;
}

int TGuideDocument::Finish()
{
    if (!FFinished && FPageStarted)
    {
        Footer();
        cairo_show_page(FCairo);
        cairo_surface_finish(FSurface);
        FFinished = true;
    }
    return FPage;
}

} // namespace tumblet::guide
