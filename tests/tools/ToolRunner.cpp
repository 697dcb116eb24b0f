#include "ToolRunner.h"
#include "support/TestHome.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace tumblet::test
{

TScratchFolder::TScratchFolder()
{
    FPath = TTestHome::NewFolder("render");
}

TScratchFolder::~TScratchFolder()
{
    RemoveTestFolder(FPath);
}

std::vector<std::string> TScratchFolder::Files() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FPath))
        names.push_back(entry.path().filename().string());
    return names;
}

std::string TScratchFolder::Write(const std::string& name, const std::string& bytes) const
{
    const std::string path = *this / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ToolPath()
{
    return TUMBLET_RENDER_PATH;
}

std::string FakePluginPath()
{
    return FAKE_PLUGIN_PATH;
}

std::string TumbletPath()
{
    return TUMBLET_PLUGIN_PATH;
}

std::string InfoToolPath()
{
    return TUMBLET_INFO_PATH;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TToolResult RunTool(const std::vector<std::string>& arguments,
                    const std::map<std::string, std::string>& environment,
                    const std::string& program, const std::string& folder)
{
    TScratchFolder streams;
    const std::string outPath = streams / "stdout";
    const std::string errPath = streams / "stderr";
    const pid_t child = fork();
    if (child == 0)
    {
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(126);
        std::vector<char*> argv;
        const std::string& tool = program;
        argv.push_back(const_cast<char*>(tool.c_str()));
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    TToolResult result;
    result.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.Out = ReadText(outPath);
    result.Err = ReadText(errPath);
    return result;
}

TFakeLog TFakeLog::Read(const std::string& path)
{
    TFakeLog log;
    std::istringstream in(ReadText(path));
    std::string line;
    std::int64_t renderPosition = 0;
    while (std::getline(in, line))
    {
        log.Lines.push_back(line);
        if (line.rfind("host ", 0) == 0)
            log.HostLine = line;
        else if (line.rfind("block ", 0) == 0)
        {
            TFakeBlock block;
            std::sscanf(line.c_str(),
                        "block frames=%d pos=%lf ppq=%lf tempo=%lf bar=%lf cycle=%lf:%lf sig=%d/%d "
                        "flags=0x%x rate=%lf",
                        &block.Frames, &block.SamplePos, &block.Ppq, &block.Tempo, &block.BarStart,
                        &block.CycleStart, &block.CycleEnd, &block.Numerator, &block.Denominator,
                        &block.Flags, &block.SampleRate);
            block.RenderStart = renderPosition;
            renderPosition += block.Frames;
            log.Blocks.push_back(block);
        }
        else if (line.rfind("event ", 0) == 0)
        {
            TFakeEvent event;
            std::sscanf(line.c_str(), "event delta=%d data=%x %x %x", &event.Delta, &event.Data[0],
                        &event.Data[1], &event.Data[2]);
            event.Block = log.Blocks.size();
            log.Events.push_back(event);
        }
    }
    return log;
}

bool TFakeLog::Has(const std::string& wanted) const
{
    for (const auto& line : Lines)
        if (line == wanted)
            return true;
    return false;
}

std::vector<TTableRow> ParseTable(const std::string& out)
{
    std::vector<TTableRow> rows;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
    {
        TTableRow row;
        char position[32] = {};
        char name[16] = {};
        char length[32] = {};
        if (std::sscanf(line.c_str(), "%31s %15s %d %d %31s %d", position, name, &row.Pitch,
                        &row.Velocity, length, &row.Channel) != 6 ||
            std::string(position).find('.') == std::string::npos)
            continue;
        row.Position = position;
        row.Name = name;
        row.Open = std::string(length).back() == '*';
        row.Length = std::atof(length);
        rows.push_back(row);
    }
    return rows;
}

} // namespace tumblet::test
