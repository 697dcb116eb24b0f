#pragma once

// A small page-layout engine for the user guide: headings, paragraphs, lists, tables,
// pictures and code blocks flowed onto A4 pages of a cairo PDF surface, with pango text.

#include <cairo.h>
#include <pango/pango.h>

#include <string>
#include <vector>

namespace tumblet::guide
{

class TGuideDocument
{
public:
    explicit TGuideDocument(const std::string& pdfPath);
    ~TGuideDocument();
    TGuideDocument(const TGuideDocument&) = delete;
    TGuideDocument& operator=(const TGuideDocument&) = delete;

    /// False when the file could not be created.
    bool Ok() const;
    /// The first page: title, subtitle and a few lines below them.
    void TitlePage(const std::string& title, const std::string& subtitle,
                   const std::vector<std::string>& lines);
    /// Starts a chapter on a new page.
    void Section(const std::string& title);
    void Subsection(const std::string& title);
    /// Text in pango markup (<b>, <i>, <tt>; &amp; &lt; &gt; escaped).
    void Paragraph(const std::string& markup);
    void Bullets(const std::vector<std::string>& markupItems);
    /// The first row is the header; widths are shares of the text width.
    void Table(const std::vector<double>& widths,
               const std::vector<std::vector<std::string>>& markupRows);
    /// A PNG scaled to the text width at most; a missing file leaves a framed, marked place.
    /// pixelScale: the picture's pixels per pixel at 96 dpi (2 for an editor drawn at 200 %).
    void Picture(const std::string& pngPath, const std::string& caption,
                 const std::string& missingNote, double pixelScale = 1.0);
    /// Lines of monospaced text (plain, not markup).
    void Code(const std::string& text);
    /// Writes the last page; returns the number of pages.
    int Finish();

private:
    PangoLayout* NewLayout(const std::string& markup, const char* font, double width) const;
    double LayoutHeight(PangoLayout* layout) const;
    void DrawLayout(PangoLayout* layout, double x, double y) const;
    void NewPage();
    void EnsureSpace(double height);
    void Footer();
    double TableRowHeight(const std::vector<double>& widths, const std::vector<std::string>& row,
                          const char* font) const;
    void TableRow(const std::vector<double>& widths, const std::vector<std::string>& row,
                  bool header);

    cairo_surface_t* FSurface = nullptr;
    cairo_t* FCairo = nullptr;
    double FY = 0;
    int FPage = 0;
    bool FPageStarted = false;
    bool FFinished = false;
    int FOutlineSection = 0; ///< outline id of the current chapter
};

} // namespace tumblet::guide
