#include "PluginTestSupport.h"

#include <atomic>
#include <map>
#include <thread>

namespace tumblet::test
{

AEffect* InProcessEntry(audioMasterCallback callback)
{
    return CreateVstInstance(
        callback, []() -> std::unique_ptr<TVSTModule> { return std::make_unique<TVSTPlugin>(); });
}

TVSTPlugin& PluginOf(AEffect* effect)
{
    return *static_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(effect));
}

void ProcessWhile(AEffect* effect, int blocks, const std::function<void(int)>& beforeBlock,
                  const std::function<void(int)>& other)
{
    constexpr int kBlock = 256;
    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            std::vector<float> left(kBlock), right(kBlock);
            float* outputs[2] = {left.data(), right.data()};
            for (int i = 0; i < blocks; ++i)
            {
                beforeBlock(i);
                effect->processReplacing(effect, nullptr, outputs, kBlock);
            }
            done = true;
        });
    std::thread control(
        [&]
        {
            for (int i = 0; !done; ++i)
                other(i);
        });
    audio.join();
    control.join();
}

namespace
{
bool IsNoteOn(const TOutEvent& e)
{
    return (e.Status() & 0xF0) == 0x90 && e.Data[2] > 0;
}
bool IsNoteOff(const TOutEvent& e)
{
    return (e.Status() & 0xF0) == 0x80 || ((e.Status() & 0xF0) == 0x90 && e.Data[2] == 0);
}
} // namespace

std::vector<TTestHost::TTimedEvent> NoteOns(const std::vector<TTestHost::TTimedEvent>& events)
{
    std::vector<TTestHost::TTimedEvent> result;
    for (const auto& e : events)
        if (IsNoteOn(e.Event))
            result.push_back(e);
    return result;
}

std::vector<TTestHost::TTimedEvent> NoteOffs(const std::vector<TTestHost::TTimedEvent>& events)
{
    std::vector<TTestHost::TTimedEvent> result;
    for (const auto& e : events)
        if (IsNoteOff(e.Event))
            result.push_back(e);
    return result;
}

bool EveryNoteEnds(const std::vector<TTestHost::TTimedEvent>& events)
{
    std::map<int, int> open; // channel * 128 + pitch -> notes on
    for (const auto& e : events)
    {
        const int key = (e.Event.Status() & 0x0F) * 128 + e.Event.Data[1];
        if (IsNoteOn(e.Event))
            ++open[key];
        else if (IsNoteOff(e.Event) && open[key] > 0)
            --open[key];
    }
    for (const auto& [key, count] : open)
        if (count != 0)
            return false;
    return true;
}

bool NotesAlternateAndEnd(const std::vector<std::vector<TOutEvent>>& flushes)
{
    std::map<int, bool> sounding; // channel * 128 + pitch
    for (const auto& flush : flushes)
        for (const TOutEvent& e : flush)
        {
            const int key = (e.Status() & 0x0F) * 128 + e.Data[1];
            if (IsNoteOn(e) || IsNoteOff(e))
            {
                if (sounding[key] == IsNoteOn(e))
                    return false;
                sounding[key] = IsNoteOn(e);
            }
        }
    for (const auto& [key, on] : sounding)
        if (on)
            return false;
    return true;
}

void SetNormalised(TTestHost& host, std::int32_t index, float normalised)
{
    host.Effect()->setParameter(host.Effect(), index, normalised);
}

void SetReal(TTestHost& host, std::int32_t index, float value, float min, float max)
{
    SetNormalised(host, index, (value - min) / (max - min));
}

} // namespace tumblet::test
