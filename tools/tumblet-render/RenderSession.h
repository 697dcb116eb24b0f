#pragma once

// One run of the tool, from the parsed options to the files and the table.

#include "Options.h"
#include "RenderTypes.h"

#include <memory>
#include <ostream>

namespace tumblet
{

class TInputSchedule;
class TNoteTable;
class TPluginHost;
struct TMidiFileContents;

class TRenderSession
{
public:
    /// The table and lists go to out; the seed of a render goes to err.
    TRenderSession(const TRenderOptions& options, std::ostream& out, std::ostream& err);
    ~TRenderSession();

    /// Throws TRenderError for every failure; writes nothing unless everything succeeded.
    void Run();

    /// Tempo, metre and length from the options, falling back on the MIDI file's.
    static TTimeGrid MakeGrid(const TRenderOptions& options, const TMidiFileContents* file);

private:
    void CheckLoop(const TTimeGrid& grid) const;
    void CheckOutputs(const TTimeGrid& grid) const;
    void PrepareHost();
    /// Hands the plug-in the seed of its random generator and tells the user which it was.
    void SeedPlugin();
    /// Drives the plug-in through the whole render and pairs what came out into notes.
    TNoteTable Render(const TTimeGrid& grid, const TInputSchedule& input);

    const TRenderOptions& FOptions;
    std::ostream& FOut;
    std::ostream& FErr;
    std::unique_ptr<TPluginHost> FHost;
};

} // namespace tumblet
