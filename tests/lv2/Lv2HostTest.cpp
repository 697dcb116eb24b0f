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

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace tumblet::test
{
namespace
{

// The host sends its position once and the chord changes on a step: both builds count the song
// position from the same frame, so the step plays the new chord in both, at the same frame.
TEST_F(Lv2HostTest, PlaysTheSameArpeggioAtTheSameFramesAsTheVstPlugin)
{
    constexpr int kBlocks = 2 * 4 * 44100 / 2 / kBlock; // two bars at 120 BPM
    constexpr std::int32_t kChange = 44100;             // beat 2, a step of every rate
    const auto keysOf = [](int block)
    {
        std::vector<TInEvent> keys;
        if (block == 0)
            keys = {NoteOn(60), NoteOn(64), NoteOn(67)};
        if (block == kChange / static_cast<int>(kBlock))
        {
            const std::int32_t at = kChange % static_cast<std::int32_t>(kBlock);
            keys = {NoteOff(60, at),     NoteOff(64, at),     NoteOff(67, at),
                    NoteOn(62, 100, at), NoteOn(65, 100, at), NoteOn(69, 100, at)};
        }
        return keys;
    };

    TLv2Host lv2(FWorld, FPlugin, FMap);
    ASSERT_NE(lv2.Instance(), nullptr);
    const double bar = 0;
    for (int block = 0; block < kBlocks; ++block)
        lv2.Run(kBlock, block == 0 ? &bar : nullptr, keysOf(block));

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    vst.SetPlaying(120.0, kSampleRate);
    for (int block = 0; block < kBlocks; ++block)
    {
        const std::vector<TInEvent> keys = keysOf(block);
        if (!keys.empty())
            vst.SendEvents(keys);
        // A host that reports each block's position exactly.
        vst.TimeInfo.samplePos = static_cast<double>(block) * kBlock;
        vst.TimeInfo.ppqPos = vst.TimeInfo.samplePos / kSampleRate * 120.0 / 60.0;
        vst.Process(kBlock);
    }
    std::vector<TNoteEvent> expected;
    bool newChordOnTheChange = false;
    for (const auto& timed : vst.Timeline)
    {
        expected.emplace_back(timed.Position, timed.Event.Data[0], timed.Event.Data[1],
                              timed.Event.Data[2]);
        if (timed.Position == kChange && (timed.Event.Data[0] & 0xF0) == 0x90)
            newChordOnTheChange = timed.Event.Data[1] == 62;
    }
    EXPECT_TRUE(newChordOnTheChange) << "the step on the change plays the old chord";

    ASSERT_GE(expected.size(), 16u) << "the VST plug-in played too little to compare";
    ASSERT_EQ(lv2.Events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const auto [frame, status, note, velocity] = lv2.Events[i];
        const auto [wantFrame, wantStatus, wantNote, wantVelocity] = expected[i];
        EXPECT_EQ(std::tie(frame, status, note, velocity),
                  std::tie(wantFrame, wantStatus, wantNote, wantVelocity))
            << "event " << i;
    }
    for (std::int64_t frame : lv2.FrameInBlock)
    {
        EXPECT_GE(frame, 0);
        EXPECT_LT(frame, kBlock);
    }
}

// The host's sample rate and its time:Position (signature and tempo in beats of the signature)
// decide where steps fall; each expected step length is worked out by hand.
TEST_F(Lv2HostTest, StepsFollowTheHostsSampleRateTempoAndTimeSignature)
{
    struct TRow
    {
        double SampleRate;
        float BeatsPerBar;
        std::int32_t BeatUnit;
        float BeatsPerMinute;
        float Rate; // tag: 3 "1/16", 5 "1/4", 7 "1/1" (one bar)
        std::uint8_t Channel;
        double StepSeconds;
    };
    const TRow rows[] = {
        {44100, 4, 4, 120, 3, 0, 0.125},   // a sixteenth at two quarters a second
        {48000, 4, 4, 120, 3, 4, 0.125},   //
        {96000, 4, 4, 90, 3, 0, 1.0 / 6},  // a sixteenth at 1.5 quarters a second
        {22050, 3, 4, 120, 7, 0, 1.5},     // a bar of three quarters
        {48000, 6, 8, 120, 7, 15, 3.0},    // six eighths, two eighths a second
        {88200, 7, 8, 140, 5, 0, 6.0 / 7}, // a quarter is two eighths at 140 eighths a minute
    };
    for (const TRow& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.SampleRate << " Hz, " << row.BeatsPerBar << "/"
                                        << row.BeatUnit << ", rate tag " << row.Rate);
        TLv2Host lv2(FWorld, FPlugin, FMap, row.SampleRate);
        ASSERT_NE(lv2.Instance(), nullptr);
        lv2.BeatsPerBar = row.BeatsPerBar;
        lv2.BeatUnit = row.BeatUnit;
        lv2.BeatsPerMinute = row.BeatsPerMinute;
        lv2.Control(0) = row.Rate;
        const double step = row.StepSeconds * row.SampleRate;
        const double bar = 0;
        for (std::int64_t done = 0; done < 4 * step + kBlock; done += kBlock)
            lv2.Run(kBlock, done == 0 ? &bar : nullptr,
                    done == 0 ? std::vector<TInEvent>{NoteOn(60, 100, 0, row.Channel)}
                              : std::vector<TInEvent>{});

        std::vector<std::int64_t> onsets;
        for (const auto& [frame, status, note, velocity] : lv2.Events)
        {
            EXPECT_EQ(status & 0x0F, row.Channel);
            if ((status & 0xF0) == 0x90 && velocity > 0)
                onsets.push_back(frame);
        }
        EXPECT_GE(onsets.size(), 4u);
        for (std::size_t k = 0; k < std::min<std::size_t>(4, onsets.size()); ++k)
            EXPECT_NEAR(onsets[k], k * step, 1) << "step " << k;
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
