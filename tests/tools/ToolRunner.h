#pragma once

// Runs tumblet-render as a subprocess and reads what the fake plug-in recorded.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tumblet::test
{

struct TToolResult
{
    int ExitStatus = -1;
    std::string Out;
    std::string Err;
};

/// A scratch folder per test, removed afterwards.
class TScratchFolder
{
public:
    TScratchFolder();
    ~TScratchFolder();
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }
    std::vector<std::string> Files() const;
    /// Writes the bytes to a file of the folder; answers its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path FPath;
};

std::string ToolPath();
std::string FakePluginPath();
std::string TumbletPath();
std::string InfoToolPath();

/// Runs the tool (or program) with arguments and extra environment variables, in folder when
/// one is given, capturing both streams.
TToolResult RunTool(const std::vector<std::string>& arguments,
                    const std::map<std::string, std::string>& environment = {},
                    const std::string& program = ToolPath(), const std::string& folder = {});

std::string ReadText(const std::string& path);

/// One block as the fake plug-in saw it.
struct TFakeBlock
{
    int Frames = 0;
    double SamplePos = 0.0;
    double Ppq = 0.0;
    double Tempo = 0.0;
    double BarStart = 0.0;
    double CycleStart = 0.0;
    double CycleEnd = 0.0;
    int Numerator = 0;
    int Denominator = 0;
    unsigned Flags = 0;
    double SampleRate = 0.0;
    std::int64_t RenderStart = 0; ///< sum of the frames of the blocks before
};

/// One event as the fake plug-in received it, with the block it came with.
struct TFakeEvent
{
    int Delta = 0;
    unsigned Data[3] = {};
    std::size_t Block = 0; ///< index of the block that followed it
};

struct TFakeLog
{
    std::string HostLine;
    std::vector<TFakeBlock> Blocks;
    std::vector<TFakeEvent> Events;
    std::vector<std::string> Lines;

    static TFakeLog Read(const std::string& path);
    bool Has(const std::string& line) const;
};

/// The rows of a --print table: position, pitch, velocity, length and channel per note.
struct TTableRow
{
    std::string Position;
    std::string Name;
    int Pitch = 0;
    int Velocity = 0;
    double Length = 0.0;
    bool Open = false;
    int Channel = 0;
};
std::vector<TTableRow> ParseTable(const std::string& out);

} // namespace tumblet::test
