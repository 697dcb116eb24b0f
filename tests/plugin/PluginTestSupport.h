#pragma once

#include "plugin/Plugin.h"
#include "support/TestHost.h"

#include <functional>
#include <vector>

namespace tumblet::test
{

/// An entry that creates the product in this process.
AEffect* InProcessEntry(audioMasterCallback callback);
/// The module behind an in-process record.
TVSTPlugin& PluginOf(AEffect* effect);

/// The note-ons (status 0x9n with velocity > 0) of a timeline, in order.
std::vector<TTestHost::TTimedEvent> NoteOns(const std::vector<TTestHost::TTimedEvent>& events);
std::vector<TTestHost::TTimedEvent> NoteOffs(const std::vector<TTestHost::TTimedEvent>& events);
/// True when every note-on has a later (or same-position) note-off of its channel and pitch,
/// matched in order.
bool EveryNoteEnds(const std::vector<TTestHost::TTimedEvent>& events);
/// Whether the note-ons and note-offs of every flush so far alternate per channel and pitch, as
/// hosts require, and every note ends.
bool NotesAlternateAndEnd(const std::vector<std::vector<TOutEvent>>& flushes);

/// Plays `blocks` blocks of 256 samples on an audio thread of its own, calling `beforeBlock(i)`
/// before block i (to send its events), while `other(i)` runs over and over with a growing i on
/// a second thread until the audio thread is done: a host calling from two threads at once.
void ProcessWhile(AEffect* effect, int blocks, const std::function<void(int)>& beforeBlock,
                  const std::function<void(int)>& other);

/// Sets a parameter the way a host does: normalised through setParameter.
void SetNormalised(TTestHost& host, std::int32_t index, float normalised);
/// Sets a real value through the range of the parameter table.
void SetReal(TTestHost& host, std::int32_t index, float value, float min, float max);

} // namespace tumblet::test
