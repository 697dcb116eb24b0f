#pragma once

#include "plugin/Plugin.h"
#include "support/TestHost.h"

#include <vector>

namespace tumblet::test
{

/// The wall clock the in-process instances read, in days; tests move it by hand.
extern double gFakeNowDays;
constexpr double kMillisecond = 1.0 / (24.0 * 60.0 * 60.0 * 1000.0);

/// An entry that creates the product in this process, with the fake wall clock.
AEffect* InProcessEntry(audioMasterCallback callback);
/// The module behind an in-process record.
TVSTPlugin& PluginOf(AEffect* effect);

/// The note-ons (status 0x9n with velocity > 0) of a timeline, in order.
std::vector<TTestHost::TTimedEvent> NoteOns(const std::vector<TTestHost::TTimedEvent>& events);
std::vector<TTestHost::TTimedEvent> NoteOffs(const std::vector<TTestHost::TTimedEvent>& events);
/// True when every note-on has a later (or same-position) note-off of its channel and pitch,
/// matched in order.
bool EveryNoteEnds(const std::vector<TTestHost::TTimedEvent>& events);

/// Sets a parameter the way a host does: normalised through setParameter.
void SetNormalised(TTestHost& host, std::int32_t index, float normalised);
/// Sets a real value through the range of the parameter table.
void SetReal(TTestHost& host, std::int32_t index, float value, float min, float max);

} // namespace tumblet::test
