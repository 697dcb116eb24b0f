// Tumblet.clap in a small CLAP host: it plays the same arpeggio at the same frames as Tumblet.so
// does for a VST 2.4 host, its state is the VST 2.4 state chunk, its parameters show and read
// texts as the VST 2.4 build does, and its editor runs in a host window on the host's timer.

#include "ClapTestHost.h"
#include "ui/X11TestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
// Xlib names a type "Status" by a macro; the test host's events have a field of that name.
#undef Status

#include <poll.h>

#include <chrono>
#include <thread>

namespace tumblet::test
{
namespace
{

constexpr std::uint32_t kBlock = 512;
// A step at this tempo never falls on a whole or half sample, where the last bit of a song
// position could round a note to the neighbouring frame in one host and not the other.
constexpr double kTempo = 123.0;
constexpr clap_id kGate = 5;

using TParameterEvent = std::tuple<std::uint16_t, clap_id>;
const std::vector<TParameterEvent> kGateGesture = {{CLAP_EVENT_PARAM_GESTURE_BEGIN, kGate},
                                                   {CLAP_EVENT_PARAM_VALUE, kGate},
                                                   {CLAP_EVENT_PARAM_GESTURE_END, kGate}};

/// What the plug-in sent about parameters, in order.
std::vector<TParameterEvent> ParameterEvents(const TClapHost& clap)
{
    std::vector<TParameterEvent> sent;
    for (const auto& [at, event] : clap.Output())
        if (event.Type != CLAP_EVENT_MIDI)
            sent.emplace_back(event.Type, event.Parameter);
    return sent;
}

/// What the host plays in one block: events at their frames, and a song position that jumps to
/// a new place at a frame inside the block (the block is then run in two parts).
struct TBlockScript
{
    int Block;
    std::vector<TInEvent> Events;
    std::int32_t JumpFrame = -1;
    double JumpTo = 0; ///< quarter notes
};

TEST(ClapHostTest, PlaysTheSameArpeggioAtTheSameFramesAsTheVstPlugin)
{
    const std::vector<TBlockScript> script = {
        {0, {NoteOn(60, 100, 100), NoteOn(64, 90, 100), NoteOn(67, 80, 100)}},
        {60,
         {NoteOff(60, 10), NoteOff(64, 10), NoteOff(67, 10), NoteOn(62, 100, 10),
          NoteOn(65, 100, 11), NoteOn(69, 100, 12)}},
        {120, {}, 300, 32.0},
        {170, {NoteOn(57, 70, 500)}},
    };
    constexpr int kBlocks = 220;

    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    vst.SetPlaying(kTempo, kClapSampleRate);

    double quarters = 0;
    const double quartersPerFrame = kTempo / 60.0 / kClapSampleRate;
    for (int block = 0; block < kBlocks; ++block)
    {
        const auto step = std::find_if(script.begin(), script.end(),
                                       [block](const TBlockScript& s) { return s.Block == block; });
        const clap_event_transport_t start = Transport(quarters, kTempo, true);
        if (step != script.end())
        {
            for (const TInEvent& e : step->Events)
                clap.In.AddMidi(static_cast<std::uint32_t>(e.DeltaFrames), e.Status, e.Data1,
                                e.Data2);
            vst.SendEvents(step->Events);
        }
        if (step != script.end() && step->JumpFrame >= 0)
        {
            clap_event_transport_t jump = Transport(step->JumpTo, kTempo, true);
            jump.header.time = static_cast<std::uint32_t>(step->JumpFrame);
            clap.In.Add(jump);
            vst.ProcessAndAdvance(step->JumpFrame);
            vst.TimeInfo.ppqPos = step->JumpTo;
            vst.TimeInfo.samplePos = step->JumpTo * 60.0 / kTempo * kClapSampleRate;
            vst.ProcessAndAdvance(static_cast<std::int32_t>(kBlock) - step->JumpFrame);
            quarters = step->JumpTo + (kBlock - step->JumpFrame) * quartersPerFrame;
        }
        else
        {
            vst.ProcessAndAdvance(kBlock);
            quarters += kBlock * quartersPerFrame;
        }
        clap.Process(kBlock, &start);
    }

    std::vector<TClapNote> expected;
    for (const auto& timed : vst.Timeline)
        expected.emplace_back(timed.Position, timed.Event.Data[0], timed.Event.Data[1],
                              timed.Event.Data[2]);
    ASSERT_GE(expected.size(), 40u) << "the VST plug-in played too little to compare";
    EXPECT_EQ(clap.Notes(), expected);
    std::int64_t last = 0;
    for (const auto& [at, event] : clap.Output())
    {
        EXPECT_LT(event.Frame, kBlock);
        EXPECT_GE(at, last) << "events out of time order";
        last = at;
    }
}

TEST(ClapHostTest, SavedStateIsTheVstChunkAndRestoresIntoANewInstance)
{
    // Gate, Velocity and Transpose changed by the host, in real units.
    const std::vector<std::pair<clap_id, double>> moves = {{kGate, 150}, {8, -40}, {14, 7}};
    TClapHost first;
    ASSERT_TRUE(first.Ready());
    ASSERT_NE(first.State, nullptr);
    for (auto [id, value] : moves)
        first.In.AddParameter(0, id, value);
    first.Flush();
    TClapStreams saved;
    ASSERT_TRUE(first.State->save(first.Plugin, &saved.Out));

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    for (auto [id, value] : moves)
    {
        clap_param_info_t info{};
        ASSERT_TRUE(first.Params->get_info(first.Plugin, id, &info));
        vst.Effect()->setParameter(
            vst.Effect(), static_cast<std::int32_t>(id),
            static_cast<float>((value - info.min_value) / (info.max_value - info.min_value)));
    }
    void* data = nullptr;
    const auto size = vst.Dispatch(effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 0);
    const auto* chunk = static_cast<const std::uint8_t*>(data);
    EXPECT_EQ(saved.Bytes, std::vector<std::uint8_t>(chunk, chunk + size));

    TClapHost second;
    ASSERT_TRUE(second.Ready());
    saved.Step = 5;
    ASSERT_TRUE(second.State->load(second.Plugin, &saved.In));
    double gate = 0;
    ASSERT_TRUE(second.Params->get_value(second.Plugin, kGate, &gate));
    EXPECT_NEAR(gate, 150.0, 1e-3);
    TClapStreams again;
    ASSERT_TRUE(second.State->save(second.Plugin, &again.Out));
    EXPECT_EQ(again.Bytes, saved.Bytes);

    // A state the module refuses is refused to the host too.
    for (const std::vector<std::uint8_t>& bad :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{'m', 'm', 's', 't', 9, 9}})
    {
        TClapStreams damaged{bad};
        EXPECT_FALSE(second.State->load(second.Plugin, &damaged.In));
    }
}

// A controller mapped to a parameter changes it inside the block; the host hears the change there,
// inside a gesture of its own.
TEST(ClapHostTest, AMappedControllerReachesTheHostInsideTheBlockAsAGesture)
{
    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    TClapStreams state;
    ASSERT_TRUE(clap.State->save(clap.Plugin, &state.Out));
    // The state ends with the list of controller mappings, empty here: add Gate on CC 5 and
    // correct the container's size.
    std::vector<std::uint8_t>& bytes = state.Bytes;
    ASSERT_GT(bytes.size(), 8u);
    ASSERT_EQ(std::vector<std::uint8_t>(bytes.end() - 2, bytes.end()),
              (std::vector<std::uint8_t>{0x01, 0x00}));
    bytes.insert(bytes.end() - 1, {0x01, 0x06, 4, 'G', 'a', 't', 'e', 0x02, 5, 0x00});
    const auto size = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    ASSERT_TRUE(clap.State->load(clap.Plugin, &state.In));
    clap.Flush();
    clap.ClearOutput();
    const int flushRequests = clap.FlushRequests;

    clap.In.AddMidi(100, 0xB0, 5, 127);
    const clap_event_transport_t start = Transport(0, kTempo, true);
    clap.Process(kBlock, &start);
    EXPECT_EQ(ParameterEvents(clap), kGateGesture);
    double gate = 0;
    ASSERT_TRUE(clap.Params->get_value(clap.Plugin, kGate, &gate));
    EXPECT_NEAR(gate, 200.0, 1e-3);
    EXPECT_EQ(clap.FlushRequests, flushRequests) << "a change inside the block needs no flush";
}

TEST(ClapHostTest, ParametersShowAndReadTextsAsTheVstPluginDoes)
{
    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    AEffect* effect = vst.Effect();
    ASSERT_EQ(clap.Params->count(clap.Plugin), 22u);
    for (std::uint32_t i = 0; i < 22; ++i)
    {
        clap_param_info_t info{};
        ASSERT_TRUE(clap.Params->get_info(clap.Plugin, i, &info));
        const auto index = static_cast<std::int32_t>(i);
        EXPECT_EQ(info.id, i) << "ids are the parameter table's order";
        EXPECT_EQ(std::string(info.name), vst.DispatchText(effGetParamName, index));
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED) << info.name;
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE) << info.name;
        ASSERT_LT(info.min_value, info.max_value) << info.name;
        EXPECT_GE(info.default_value, info.min_value) << info.name;
        EXPECT_LE(info.default_value, info.max_value) << info.name;
        const double span = info.max_value - info.min_value;
        for (double value : {info.min_value, info.max_value, info.default_value,
                             std::round(info.min_value + span / 2), info.min_value + 1})
        {
            effect->setParameter(effect, index,
                                 static_cast<float>((value - info.min_value) / span));
            const std::string text = clap.ValueText(i, value);
            EXPECT_EQ(text, vst.DispatchText(effGetParamDisplay, index))
                << info.name << " at " << value;

            double read = -1e9;
            std::string copy = text;
            const bool readByClap = clap.Params->text_to_value(clap.Plugin, i, text.c_str(), &read);
            effect->setParameter(effect, index, 0.5f);
            const bool readByVst = vst.Dispatch(effString2Parameter, index, 0, copy.data()) != 0;
            EXPECT_EQ(readByClap, readByVst) << info.name << " reading " << text;
            if (readByClap && readByVst)
            {
                EXPECT_NEAR(read, info.min_value + effect->getParameter(effect, index) * span, 1e-3)
                    << info.name << " reading " << text;
            }
        }
    }
    clap_param_info_t rate{};
    ASSERT_TRUE(clap.Params->get_info(clap.Plugin, 0, &rate));
    EXPECT_TRUE(rate.flags & (1u << 16)) << "a list parameter is a choice by name";
    clap_param_info_t gate{};
    ASSERT_TRUE(clap.Params->get_info(clap.Plugin, kGate, &gate));
    EXPECT_FALSE(gate.flags & (1u << 16));
}

TEST(ClapHostTest, EditorRunsInTheHostWindowOnTheHostTimerAndSendsGestures)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        GTEST_SKIP() << "no X display";
    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    ASSERT_NE(clap.Gui, nullptr);
    ASSERT_NE(clap.Timers, nullptr);
    ASSERT_TRUE(clap.Gui->is_api_supported(clap.Plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(clap.Gui->create(clap.Plugin, CLAP_WINDOW_API_X11, false));
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(clap.Gui->get_size(clap.Plugin, &width, &height));
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(712u, 341u));
    ASSERT_EQ(clap.TimersRegistered.size(), 1u);
    EXPECT_GE(clap.TimersRegistered[0].second, 15u);
    EXPECT_LE(clap.TimersRegistered[0].second, 50u);
    const clap_id timer = clap.TimersRegistered[0].first;

    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent;
    ASSERT_TRUE(clap.Gui->set_parent(clap.Plugin, &window));
    ASSERT_TRUE(clap.Gui->show(clap.Plugin));
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, parent, &root, &parentOfParent, &children, &count);
    if (children != nullptr)
        XFree(children);
    EXPECT_EQ(count, 1u) << "the editor is embedded in the host's window";
    ASSERT_EQ(clap.DescriptorsWatched.size(), 1u) << "the display connection is handed over";
    EXPECT_TRUE(clap.DescriptorsWatched[0].second & kClapPosixFdRead);
    const int descriptor = clap.DescriptorsWatched[0].first;
    const auto* onDescriptor = static_cast<const TClapPluginPosixFdSupport*>(
        clap.Plugin->get_extension(clap.Plugin, kClapExtPosixFdSupport));
    ASSERT_NE(onDescriptor, nullptr);

    const auto idle = [&]
    {
        clap.Timers->on_timer(clap.Plugin, timer);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    for (int i = 0; i < 3; ++i)
        idle();
    double before = 0;
    ASSERT_TRUE(clap.Params->get_value(clap.Plugin, kGate, &before));
    clap.ClearOutput();
    // Over the Gate dial, one wheel step up; only the timer's calls let the editor see it.
    ASSERT_TRUE(
        Xdotool({"mousemove", "--sync", std::to_string(402 + 24), std::to_string(92 + 24)}));
    ASSERT_TRUE(Xdotool({"click", "4"}));
    double after = before;
    for (int waited = 0; waited < 5000 && after <= before; waited += 20)
    {
        idle();
        clap.Params->get_value(clap.Plugin, kGate, &after);
    }
    EXPECT_GT(after, before);
    EXPECT_GE(clap.FlushRequests, 1) << "a change outside processing asks for a flush";
    clap.Flush();
    EXPECT_EQ(ParameterEvents(clap), kGateGesture);
    if (clap.Output().size() == 3)
    {
        EXPECT_NEAR(clap.Output()[1].second.Value, after, 1e-3);
    }

    // Another step, now read as soon as the descriptor turns readable, with no timer call.
    const double stepped = after;
    ASSERT_TRUE(Xdotool({"click", "4"}));
    for (int waited = 0; waited < 5000 && after <= stepped; waited += 20)
    {
        pollfd ready{descriptor, POLLIN, 0};
        if (poll(&ready, 1, 20) > 0)
            onDescriptor->on_fd(clap.Plugin, descriptor, kClapPosixFdRead);
        clap.Params->get_value(clap.Plugin, kGate, &after);
    }
    EXPECT_GT(after, stepped);

    clap.Gui->destroy(clap.Plugin);
    EXPECT_TRUE(clap.TimersRegistered.empty()) << "the editor's timer ends with it";
    EXPECT_TRUE(clap.DescriptorsWatched.empty());
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
} // namespace tumblet::test
