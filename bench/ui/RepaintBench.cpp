// A full repaint of an editor-sized window (712 x 341) holding a few hundred text and shape
// elements, on the offscreen backend.

#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxLabel.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tumblet
{
namespace
{

/// A rounded, translucent panel like the product's group panels.
class TShape : public TBlxControl
{
public:
    void Paint(TBlxCanvas& canvas) override
    {
        canvas.FillRoundRect(ClientRect(), 5, TBlxColor::Rgb(200, 200, 200).WithAlpha(60));
        canvas.FrameRoundRect(ClientRect(), 5, BlxColors::White);
        canvas.FillEllipse({4, 4, Width() - 8, Height() - 8},
                           TBlxColor::Rgb(44, 112, 142).WithAlpha(200));
    }
};

void BuildEditorLikeWindow(TBlxWindow& w, int columns, int rows)
{
    w.SetBounds(0, 0, 712, 341);
    TBlxFont bold;
    bold.Bold = true;
    bold.SizePx = 12;
    int cellW = 712 / columns, cellH = 341 / rows;
    for (int r = 0; r < rows; ++r)
    {
        for (int c = 0; c < columns; ++c)
        {
            int x = c * cellW, y = r * cellH;
            TShape& shape = w.Add<TShape>();
            shape.SetBounds(x + 2, y + 2, cellW - 4, cellH / 2);
            TBlxLabel& label = w.Add<TBlxLabel>();
            label.SetFont(bold);
            label.SetBounds(x, y + cellH / 2, cellW, cellH / 2);
            label.SetAlignment(TBlxAlignment::Center);
            label.SetCaption("Gate " + std::to_string(r * columns + c));
        }
    }
}

void BM_FullRepaint(benchmark::State& state)
{
    TBlxApplication::Instance().SetBackend(TBlxBackend::Offscreen);
    TBlxStyle::Select("Carbon");
    TBlxWindow w(TBlxWindowKind::Embedded);
    int columns = 16, rows = int(state.range(0)) / (2 * columns);
    BuildEditorLikeWindow(w, columns, rows);
    w.Show();
    for (auto _ : state)
    {
        w.PaintAll();
        benchmark::DoNotOptimize(w.BackBuffer().Surface());
    }
    state.counters["elements"] = double(w.ChildCount());
    TBlxStyle::SelectNone();
}
BENCHMARK(BM_FullRepaint)->Arg(128)->Arg(320)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_IdlePump(benchmark::State& state)
{
    TBlxApplication::Instance().SetBackend(TBlxBackend::Offscreen);
    TBlxWindow w(TBlxWindowKind::Embedded);
    BuildEditorLikeWindow(w, 16, 10);
    w.Show();
    w.PaintAll();
    for (auto _ : state)
    {
        TBlxApplication::Instance().ProcessMessages();
    }
}
BENCHMARK(BM_IdlePump);

} // namespace
} // namespace tumblet

BENCHMARK_MAIN();
