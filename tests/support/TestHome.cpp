#include "support/TestHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace tumblet::test
{
namespace fs = std::filesystem;

namespace
{

fs::path& HomePath()
{
    static fs::path path;
    return path;
}

fs::path MakeTemporaryFolder(const fs::path& parent, const std::string& prefix)
{
    std::string pattern = (parent / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    return pattern;
}

void SetVariable(const char* name, const fs::path& value)
{
    setenv(name, value.c_str(), 1);
}

bool LiesInside(const fs::path& path, const fs::path& folder)
{
    const fs::path inner = fs::weakly_canonical(path);
    const fs::path outer = fs::weakly_canonical(folder);
    auto [end, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end() && inner != outer;
}

} // namespace

void TTestHome::Enter()
{
    // The scratch area is chosen before TMPDIR is changed, so a caller's TMPDIR is honoured.
    const fs::path home = MakeTemporaryFolder(fs::temp_directory_path(), "tumblet-test-home");
    HomePath() = fs::canonical(home);
    const fs::path& path = HomePath();
    fs::create_directories(path / ".config");
    fs::create_directories(path / "Documents");
    fs::create_directories(path / "run");
    fs::create_directories(path / "tmp");
    chmod((path / "run").c_str(), 0700);
    SetVariable("HOME", path);
    SetVariable("XDG_CONFIG_HOME", path / ".config");
    SetVariable("XDG_DOCUMENTS_DIR", path / "Documents");
    SetVariable("XDG_RUNTIME_DIR", path / "run");
    SetVariable("TMPDIR", path / "tmp");
}

void TTestHome::Leave()
{
    if (HomePath().empty())
        return;
    std::error_code ignored;
    fs::remove_all(HomePath(), ignored);
    HomePath().clear();
}

const fs::path& TTestHome::Path()
{
    return HomePath();
}

fs::path TTestHome::NewFolder(const std::string& prefix)
{
    if (HomePath().empty())
        throw std::logic_error("the test home was not made: link the shared test main");
    return MakeTemporaryFolder(HomePath() / "tmp", prefix);
}

void RemoveTestFolder(const fs::path& folder)
{
    if (HomePath().empty() || !LiesInside(folder, HomePath()))
    {
        std::fprintf(stderr, "refusing to delete %s: it lies outside the test home %s\n",
                     folder.c_str(), HomePath().c_str());
        std::abort();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

} // namespace tumblet::test
