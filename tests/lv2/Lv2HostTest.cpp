// Tumblet.lv2 in a real LV2 host library (lilv): it loads from its bundle, plays the same
// arpeggio at the same frames as Tumblet.so does for a VST 2.4 host, and its saved state is the
// VST 2.4 state chunk, restoring into a new instance.

#include "Lv2TestHost.h"

#include <lilv/lilv.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
// Xlib names a type "Status" by a macro; the test host's events have a field of that name.
#undef Status
#include <dlfcn.h>

#include <string>
#include <tuple>
#include <vector>

namespace tumblet::test
{
namespace
{

TEST_F(Lv2HostTest, PlaysTheSameArpeggioAtTheSameFramesAsTheVstPlugin)
{
    const std::vector<TInEvent> chord = {NoteOn(60, 100, 100), NoteOn(64, 100, 100),
                                         NoteOn(67, 100, 100)};
    constexpr int kBlocks = 2 * 4 * 44100 / 2 / kBlock; // two bars at 120 BPM

    TLv2Host lv2(FWorld, FPlugin, FMap);
    ASSERT_NE(lv2.Instance(), nullptr);
    const double bar = 0;
    for (int block = 0; block < kBlocks; ++block)
    {
        lv2.Run(kBlock, block == 0 ? &bar : nullptr, block == 0 ? chord : std::vector<TInEvent>{});
    }

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    vst.SetPlaying(120.0, kSampleRate);
    for (int block = 0; block < kBlocks; ++block)
    {
        if (block == 0)
            vst.SendEvents(chord);
        vst.ProcessAndAdvance(kBlock);
    }
    std::vector<TNoteEvent> expected;
    for (const auto& timed : vst.Timeline)
        expected.emplace_back(timed.Position, timed.Event.Data[0], timed.Event.Data[1],
                              timed.Event.Data[2]);

    ASSERT_GE(expected.size(), 16u) << "the VST plug-in played too little to compare";
    // The same notes; the frames agree to within the rounding of the song position, which
    // the LV2 host reports as bar and beat and the VST host as quarter notes.
    ASSERT_EQ(lv2.Events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const auto [frame, status, note, velocity] = lv2.Events[i];
        const auto [wantFrame, wantStatus, wantNote, wantVelocity] = expected[i];
        EXPECT_NEAR(frame, wantFrame, 1) << "event " << i;
        EXPECT_EQ(std::tie(status, note, velocity), std::tie(wantStatus, wantNote, wantVelocity))
            << "event " << i;
    }
    for (std::int64_t frame : lv2.FrameInBlock)
    {
        EXPECT_GE(frame, 0);
        EXPECT_LT(frame, kBlock);
    }
}

TEST_F(Lv2HostTest, SavedStateIsTheVstChunkAndRestoresIntoANewInstance)
{
    // Gate, Velocity and Transpose moved on their ports.
    const std::vector<std::pair<std::uint32_t, float>> moves = {{5, 150}, {8, -40}, {14, 7}};
    TLv2Host first(FWorld, FPlugin, FMap);
    ASSERT_NE(first.Instance(), nullptr);
    for (auto [parameter, value] : moves)
        first.Control(parameter) = value;
    first.Run(kBlock, nullptr, {});

    LilvState* state =
        lilv_state_new_from_instance(FPlugin, first.Instance(), &FMap.MapFeature, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, 0, first.Features());
    ASSERT_NE(state, nullptr);

    TLv2Host second(FWorld, FPlugin, FMap);
    ASSERT_NE(second.Instance(), nullptr);
    lilv_state_restore(state, second.Instance(), nullptr, nullptr, 0, second.Features());
    lilv_state_free(state);
    const std::vector<char> restored = Chunk(second.Effect());

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    for (auto [parameter, value] : moves)
    {
        AEffect* effect = vst.Effect();
        const float min = parameter == 5 ? 0.0f : parameter == 8 ? -100.0f : -36.0f;
        const float max = parameter == 5 ? 200.0f : parameter == 8 ? 100.0f : 36.0f;
        effect->setParameter(effect, static_cast<std::int32_t>(parameter),
                             (value - min) / (max - min));
    }
    ASSERT_FALSE(restored.empty());
    EXPECT_EQ(restored, Chunk(first.Effect()));
    EXPECT_EQ(restored, Chunk(vst.Effect()));
}

// The UI runs the module's own editor in the host's window and reports values that changed
// inside the module (the editor, a mapped controller) to the host's control ports.
TEST_F(Lv2HostTest, UiOpensTheEditorAndReportsChangesToThePorts)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        GTEST_SKIP() << "no X display";
    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 712, 341, 0, 0, 0);
    XSync(display, False);
    TLv2Host plugin(FWorld, FPlugin, FMap);
    ASSERT_NE(plugin.Instance(), nullptr);

    const std::string library = Bundle + "/Tumblet_lv2ui.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    using TDescriptorFunction = const LV2UI_Descriptor* (*)(std::uint32_t);
    auto descriptorOf = reinterpret_cast<TDescriptorFunction>(dlsym(handle, "lv2ui_descriptor"));
    ASSERT_NE(descriptorOf, nullptr);
    const LV2UI_Descriptor* ui = descriptorOf(0);
    ASSERT_NE(ui, nullptr);

    std::vector<std::pair<std::uint32_t, float>> writes;
    const auto write = [](LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                          std::uint32_t protocol, const void* buffer)
    {
        if (size == sizeof(float) && protocol == 0)
            static_cast<decltype(writes)*>(controller)
                ->emplace_back(port, *static_cast<const float*>(buffer));
    };
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.Instance())};
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature* features[] = {&access, &parentFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle view = ui->instantiate(ui, kLv2UiUri, "", write, &writes, &widget, features);
    ASSERT_NE(view, nullptr) << "the editor did not open";
    EXPECT_NE(widget, nullptr);
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);

    EXPECT_EQ(idle->idle(view), 0);
    EXPECT_EQ(writes.size(), 22u) << "the first idle call reports every value once";
    writes.clear();
    EXPECT_EQ(idle->idle(view), 0);
    EXPECT_TRUE(writes.empty()) << "nothing changed, nothing reported";
    AEffect* effect = plugin.Effect();
    effect->setParameter(effect, 5, 0.75f); // Gate 150, as a mapped controller would set it
    EXPECT_EQ(idle->idle(view), 0);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].first, kLv2FirstParameterPort + 5);
    EXPECT_FLOAT_EQ(writes[0].second, 150.0f);

    ui->cleanup(view);
    dlclose(handle);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
} // namespace tumblet::test
