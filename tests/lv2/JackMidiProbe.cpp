// A small JACK client for the live test of the LV2 plug-in under jalv: it plays a chord into a
// MIDI input port, releases it, and prints every MIDI event that comes back, one per line:
// "FRAME STATUS DATA1 DATA2", frames counted from the key press.
// Usage: tumblet_jack_probe TARGET_INPUT SOURCE_OUTPUT HOLD_SECONDS

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <semaphore.h>
#include <vector>

namespace
{

struct TEvent
{
    std::int64_t Frame;
    std::uint8_t Bytes[3];
};

constexpr std::size_t kCapacity = 4096;
constexpr std::uint8_t kChord[] = {60, 64, 67};
/// Where in its cycle the chord is pressed, so that "not before the key" can be checked.
constexpr jack_nframes_t kPressOffset = 100;
constexpr std::uint8_t kVelocity = 100;

jack_client_t* gClient = nullptr;
jack_port_t* gOut = nullptr;
jack_port_t* gIn = nullptr;
std::atomic<bool> gArmed{false};
std::atomic<bool> gReleased{false};
std::int64_t gPressFrame = -1; ///< absolute frame of the press; process thread only
std::int64_t gHoldFrames = 0;
/// How long to listen after the release for the note-offs, in frames.
std::int64_t gListenFrames = 0;
/// Posted by the process thread once it has listened long enough, in JACK's own time.
sem_t gDone;
bool gDonePosted = false; ///< process thread only
std::vector<TEvent> gEvents(kCapacity);
std::atomic<std::size_t> gCount{0};

void Send(void* buffer, jack_nframes_t offset, std::uint8_t status, std::uint8_t note,
          std::uint8_t velocity)
{
    if (jack_midi_data_t* data = jack_midi_event_reserve(buffer, offset, 3))
    {
        data[0] = status;
        data[1] = note;
        data[2] = velocity;
    }
}

int Process(jack_nframes_t frames, void*)
{
    const std::int64_t start = jack_last_frame_time(gClient);
    void* out = jack_port_get_buffer(gOut, frames);
    jack_midi_clear_buffer(out);
    if (gArmed.load() && gPressFrame < 0 && frames > kPressOffset)
    {
        gPressFrame = start + kPressOffset;
        for (std::uint8_t note : kChord)
            Send(out, kPressOffset, 0x90, note, kVelocity);
    }
    else if (gPressFrame >= 0 && !gReleased.load() && start >= gPressFrame + gHoldFrames)
    {
        for (std::uint8_t note : kChord)
            Send(out, 0, 0x80, note, 0);
        gReleased.store(true);
    }
    void* in = jack_port_get_buffer(gIn, frames);
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i)
    {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) != 0 || event.size < 3)
            continue;
        const std::size_t slot = gCount.load();
        if (slot >= kCapacity)
            break;
        gEvents[slot].Frame = start + event.time - gPressFrame;
        for (int b = 0; b < 3; ++b)
            gEvents[slot].Bytes[b] = event.buffer[b];
        gCount.store(slot + 1);
    }
    if (gReleased.load() && !gDonePosted && start >= gPressFrame + gHoldFrames + gListenFrames)
    {
        gDonePosted = true;
        sem_post(&gDone);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: tumblet_jack_probe TARGET_INPUT SOURCE_OUTPUT HOLD_SECONDS\n");
        return 2;
    }
    const double hold = std::atof(argv[3]);
    gClient = jack_client_open("tumblet-probe", JackNoStartServer, nullptr);
    if (gClient == nullptr)
    {
        std::fprintf(stderr, "tumblet_jack_probe: no JACK server\n");
        return 1;
    }
    gHoldFrames = static_cast<std::int64_t>(hold * jack_get_sample_rate(gClient));
    gListenFrames = jack_get_sample_rate(gClient);
    sem_init(&gDone, 0, 0);
    gOut = jack_port_register(gClient, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    gIn = jack_port_register(gClient, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(gClient, &Process, nullptr);
    if (gOut == nullptr || gIn == nullptr || jack_activate(gClient) != 0 ||
        jack_connect(gClient, jack_port_name(gOut), argv[1]) != 0 ||
        jack_connect(gClient, argv[2], jack_port_name(gIn)) != 0)
    {
        std::fprintf(stderr, "tumblet_jack_probe: cannot connect %s and %s\n", argv[1], argv[2]);
        jack_client_close(gClient);
        return 1;
    }
    gArmed.store(true);
    // Hold, release and listen a second longer, all counted in JACK's frames; the wall-clock
    // limit only stops a server that stalled.
    timespec limit{};
    clock_gettime(CLOCK_REALTIME, &limit);
    limit.tv_sec += static_cast<time_t>(hold) + 60;
    while (sem_timedwait(&gDone, &limit) != 0 && errno == EINTR)
    {
    }
    jack_deactivate(gClient);
    for (std::size_t i = 0; i < gCount.load(); ++i)
        std::printf("%lld %d %d %d\n", static_cast<long long>(gEvents[i].Frame),
                    gEvents[i].Bytes[0], gEvents[i].Bytes[1], gEvents[i].Bytes[2]);
    std::printf("release %lld\n", static_cast<long long>(gHoldFrames));
    jack_client_close(gClient);
    if (!gDonePosted)
        std::fprintf(stderr, "tumblet_jack_probe: JACK stopped running before the end\n");
    return gDonePosted ? 0 : 1;
}
