#include "editor/MessageDialog.h"

#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxLabel.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tumblet
{

namespace
{

// Layout of the box, in pixels.
constexpr int kIconSize = 32;
constexpr int kMargin = 14;
constexpr int kTextLeft = kMargin + kIconSize + 12;
constexpr int kMaxTextWidth = 380;
constexpr int kMinClientWidth = 260;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;
constexpr int kFooterPadding = 10;
constexpr int kFontPx = 12;

// Icon colours: the usual signal colours, the same under every skin.
constexpr TBlxColor kWarningColor = TBlxColor::Rgb(0xF2, 0xB1, 0x1B);
constexpr TBlxColor kErrorColor = TBlxColor::Rgb(0xD6, 0x3A, 0x3A);
constexpr TBlxColor kInfoColor = TBlxColor::Rgb(0x2F, 0x7B, 0xD8);
constexpr TBlxColor kQuestionColor = TBlxColor::Rgb(0x3A, 0x8F, 0xD0);

} // namespace

TfrmMessageDialog::TfrmMessageDialog(const std::string& text, TMsgDlgButtons buttons,
                                     TMsgDlgType type)
    : TBlxWindow(TBlxWindowKind::Dialog), FButtons(buttons), FType(type)
{
    TBlxFont font;
    font.SizePx = kFontPx;
    SetFont(font);
    lblText = &Add<TBlxLabel>();
    lblText->SetWordWrap(true);
    auto makeButton = [this](const char* caption, TBlxModalResult result)
    {
        TBlxButton& b = Add<TBlxButton>();
        b.SetCaption(caption);
        b.SetModalResult(result);
        b.SetBounds(0, 0, kButtonWidth, kButtonHeight);
        return &b;
    };
    if (buttons == TMsgDlgButtons::OK)
    {
        btnOK = makeButton("OK", TBlxModalResult::OK);
        btnOK->SetDefault(true);
        btnOK->SetCancel(true);
        SetActiveControl(btnOK);
    }
    else
    {
        btnYes = makeButton("Yes", TBlxModalResult::Yes);
        btnNo = makeButton("No", TBlxModalResult::No);
        btnYes->SetDefault(true);
        btnNo->SetCancel(true);
        SetActiveControl(btnYes);
    }
    Layout(text);
}

void TfrmMessageDialog::Layout(const std::string& text)
{
    lblText->SetCaption(text);
    TBlxFont font = Font();
    int natural = BlxText::Extent(font, text.empty() ? " " : text).Width;
    int textWidth = std::min(kMaxTextWidth, natural + 2);
    TBlxSize wrapped = BlxText::Extent(font, text.empty() ? " " : text, textWidth);
    int buttonsWidth =
        FButtons == TMsgDlgButtons::OK ? kButtonWidth : 2 * kButtonWidth + kButtonGap;
    int width =
        std::max({kMinClientWidth, kTextLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin});
    int contentHeight = std::max(kIconSize, wrapped.Height);
    // A short text sits level with the icon's middle.
    int textTop = kMargin + (contentHeight - wrapped.Height) / 2;
    lblText->SetBounds(kTextLeft, textTop, textWidth, wrapped.Height);
    FFooterTop = kMargin + contentHeight + kMargin;
    int height = FFooterTop + kFooterPadding + kButtonHeight + kFooterPadding;
    SetClientSize(width, height);
    int x = width - kMargin - buttonsWidth, y = FFooterTop + kFooterPadding;
    for (TBlxButton* b : {btnYes, btnNo, btnOK})
    {
        if (b)
        {
            b->SetBounds(x, y, kButtonWidth, kButtonHeight);
            x += kButtonWidth + kButtonGap;
        }
    }
}

void TfrmMessageDialog::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    canvas.FillRect(ClientRect(), p.ButtonFace);
    TBlxColor footer = p.ButtonFace.Blend(p.GenericBackground, 0.5).Blend(p.Border, 0.08);
    canvas.FillRect({0, FFooterTop, Width(), Height() - FFooterTop}, footer);
    canvas.FillRect({0, FFooterTop, Width(), 1}, p.Border.Blend(p.ButtonFace, 0.5));
    PaintIcon(canvas, {kMargin, kMargin, kIconSize, kIconSize});
}

void TfrmMessageDialog::PaintIcon(TBlxCanvas& canvas, const TBlxRect& r) const
{
    TBlxFont glyph;
    glyph.Family = kBlxFontSegoeUI;
    glyph.Bold = true;
    glyph.SizePx = 22;
    glyph.Color = BlxColors::White;
    const char* mark = "i";
    TBlxRect markRect = r;
    switch (FType)
    {
    case TMsgDlgType::Warning:
        canvas.FillPolygon({{r.Left + r.Width / 2.0, r.Top + 1.0},
                            {double(r.Right()) - 0.5, r.Bottom() - 2.0},
                            {r.Left + 0.5, r.Bottom() - 2.0}},
                           kWarningColor);
        glyph.Color = TBlxColor::Rgb(0x20, 0x20, 0x20);
        glyph.SizePx = 20;
        mark = "!";
        markRect = r.Offset(0, 4);
        break;
    case TMsgDlgType::Error:
        canvas.FillEllipse(r, kErrorColor);
        canvas.Line(r.Left + 10.5, r.Top + 10.5, r.Right() - 10.5, r.Bottom() - 10.5,
                    BlxColors::White, 3);
        canvas.Line(r.Right() - 10.5, r.Top + 10.5, r.Left + 10.5, r.Bottom() - 10.5,
                    BlxColors::White, 3);
        return;
    case TMsgDlgType::Information:
        canvas.FillEllipse(r, kInfoColor);
        break;
    case TMsgDlgType::Confirmation:
        canvas.FillEllipse(r, kQuestionColor);
        mark = "?";
        break;
    }
    canvas.DrawText(markRect, mark, glyph, {TBlxAlignment::Center, TBlxVAlign::Center, false});
}

namespace
{

TBlxModalResult ClosedAnswer(TMsgDlgButtons buttons)
{
    return buttons == TMsgDlgButtons::OK ? TBlxModalResult::OK : TBlxModalResult::No;
}

TBlxModalResult Answer(TBlxModalResult result, TMsgDlgButtons buttons)
{
    return result == TBlxModalResult::Cancel || result == TBlxModalResult::None
               ? ClosedAnswer(buttons)
               : result;
}

std::unique_ptr<TfrmMessageDialog> CreateMessageDialog(TBlxWindow* parentForm,
                                                       const std::string& text,
                                                       const std::string& caption,
                                                       TMsgDlgButtons buttons, TMsgDlgType type)
{
    auto dlg = std::make_unique<TfrmMessageDialog>(text, buttons, type);
    dlg->SetCaption(caption.empty() ? std::string(kApplicationTitle) : caption);
    PlaceDialog(*dlg, parentForm);
    if (!dlg->CreateHandle())
    {
        std::fprintf(stderr, "%s: %s: %s\n", kApplicationTitle, dlg->Caption().c_str(),
                     text.c_str());
        return nullptr;
    }
    return dlg;
}

} // namespace

void ShowMessageDialogLater(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                            const std::string& text, const std::string& caption,
                            TMsgDlgButtons buttons, TMsgDlgType type,
                            std::function<void(TBlxModalResult)> done)
{
    std::unique_ptr<TfrmMessageDialog> dlg =
        CreateMessageDialog(parentForm, text, caption, buttons, type);
    TBlxWindow* shown = dlg.get();
    auto closed = [&holder, shown, buttons, done](TBlxModalResult result)
    {
        std::unique_ptr<TBlxWindow> box = TakeFromHolder(holder, shown);
        if (done)
            done(Answer(result, buttons));
    };
    if (!dlg || !dlg->ShowModal(closed))
    {
        if (done)
            done(ClosedAnswer(buttons));
        return;
    }
    holder = std::move(dlg);
}

std::unique_ptr<TBlxWindow> TakeFromHolder(std::unique_ptr<TBlxWindow>& holder,
                                           const TBlxWindow* shown)
{
    std::unique_ptr<TBlxWindow> box;
    if (holder.get() == shown)
        box = std::move(holder);
    return box;
}

} // namespace tumblet
