// Painting costs of the editor's controls on the offscreen backend.

#include "controls/BlxGuiPanel.h"
#include "controls/BlxGuiStitchedDial.h"
#include "ui/BlxTestDriver.h"

#include <benchmark/benchmark.h>

namespace tumblet
{
namespace
{

/// A Gate dial turned by one frame, then the damaged area repainted: what one step of a drag
/// costs on screen.
void BM_DialFrameChange(benchmark::State& state)
{
    test::Offscreen();
    TBlxWindow form;
    form.SetClientSize(200, 120);
    TGuiStitchedPNGList images;
    images.LoadDialStrips();
    auto& dial = form.Add<TBlxGuiStitchedDial>();
    dial.SetBounds(20, 20, 48, 48);
    dial.SetTransparent(true);
    dial.SetImageList(&images);
    dial.SetImageIndex(3);
    dial.SetMax(200);
    form.Show();
    form.PaintAll();
    float value = 0;
    for (auto _ : state)
    {
        value = value >= 200 ? 0 : value + 1;
        dial.SetValue(value);
        form.PaintNow();
    }
}
BENCHMARK(BM_DialFrameChange);

/// The main panel's shape (706 x 293, alpha 225, radius 5) drawn again after a property change.
void BM_PanelRebuild(benchmark::State& state)
{
    test::Offscreen();
    TBlxGuiPanel panel;
    panel.SetBounds(0, 0, 706, 293);
    panel.SetBorderRadius(5);
    uint8_t alpha = 0;
    for (auto _ : state)
    {
        panel.SetAlpha(++alpha);
        panel.EnsureShape();
    }
}
BENCHMARK(BM_PanelRebuild);

/// The main panel repainted with its shape unchanged: the cost on every expose.
void BM_PanelPaintUnchanged(benchmark::State& state)
{
    test::Offscreen();
    TBlxWindow form;
    form.SetClientSize(712, 341);
    auto& panel = form.Add<TBlxGuiPanel>();
    panel.SetBounds(3, 45, 706, 293);
    panel.SetAlpha(225);
    form.Show();
    form.PaintAll();
    for (auto _ : state)
    {
        panel.Invalidate();
        form.PaintNow();
    }
}
BENCHMARK(BM_PanelPaintUnchanged);

} // namespace
} // namespace tumblet

BENCHMARK_MAIN();
