#include "OutputFiles.h"

#include "RenderError.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tumblet
{

TOutputFiles::~TOutputFiles()
{
    for (const auto& entry : FEntries)
        std::remove(entry.Temporary.c_str());
}

std::string TOutputFiles::Temporary(const std::string& target)
{
    namespace fs = std::filesystem;
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(folder))
        ThrowRuntime("cannot write " + target + ": the folder " + folder.string() +
                     " does not exist");
    if (fs::is_directory(path))
        ThrowRuntime("cannot write " + target + ": it is a folder");
    const std::string temporary =
        (folder / ("." + path.filename().string() + ".tmp-" + std::to_string(getpid()) + "-" +
                   std::to_string(FEntries.size())))
            .string();
    FEntries.push_back({temporary, target});
    return temporary;
}

void TOutputFiles::WriteBytes(const std::string& target, const std::vector<std::uint8_t>& bytes)
{
    const std::string temporary = Temporary(target);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        ThrowRuntime("cannot write " + target);
}

void TOutputFiles::CommitAll()
{
    for (const auto& entry : FEntries)
    {
        std::error_code error;
        std::filesystem::rename(entry.Temporary, entry.Target, error);
        if (error)
            ThrowRuntime("cannot write " + entry.Target + ": " + error.message());
    }
    FEntries.clear();
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, const std::string& what)
{
    if (!std::filesystem::is_regular_file(path))
        ThrowRuntime("cannot read the " + what + " " + path + ": no such file");
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad())
        ThrowRuntime("cannot read the " + what + " " + path);
    return bytes;
}

} // namespace tumblet
