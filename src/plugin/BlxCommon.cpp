#include "plugin/BlxCommon.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tumblet
{

namespace
{

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return {};
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents" (quoted; $HOME expanded).
bool ParseDocumentsLine(const std::string& line, const std::string& home, std::string& folder)
{
    static const std::string kKey = "XDG_DOCUMENTS_DIR=";
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0)
        return false;
    std::string value = line.substr(start + kKey.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0)
        value = home + value.substr(5);
    else if (value.empty() || value.front() != '/')
        return false;
    folder = WithoutTrailingSlash(value);
    return !folder.empty();
}

std::string SystemMessage(const std::string& what, const std::string& path, int error)
{
    return what + " \"" + path + "\": " + std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::atomic<const char*> gSelectedStyle{"Carbon"};
std::atomic<TStyleSelector> gStyleSelector{nullptr};

} // namespace

std::string DocumentsFolder()
{
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        config = xdg;
    else
        config = home + "/.config";
    std::ifstream dirs(config + "/user-dirs.dirs");
    std::string line;
    std::string folder;
    while (std::getline(dirs, line))
    {
        if (ParseDocumentsLine(line, home, folder))
            return folder;
    }
    // As xdg-user-dir: the file's setting wins, the environment's counts where it has none.
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
        documents != nullptr && documents[0] == '/')
        return WithoutTrailingSlash(documents);
    return WithoutTrailingSlash(home) + "/Documents";
}

std::string LibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path)
{
    struct stat info
    {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void ForceDirectories(const std::string& folder)
{
    const std::string path = WithoutTrailingSlash(folder);
    if (path.empty())
        throw std::runtime_error("No folder to create");
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) == 0)
    {
        if (!S_ISDIR(info.st_mode))
            throw std::runtime_error(SystemMessage("Cannot create folder", path, ENOTDIR));
        return;
    }
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        ForceDirectories(path.substr(0, slash));
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        throw std::runtime_error(SystemMessage("Cannot create folder", path, errno));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error(SystemMessage("Cannot open file", path, errno));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;)
    {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
        {
            const int error = errno;
            ::close(fd);
            throw std::runtime_error(SystemMessage("Cannot read file", path, error));
        }
        if (count == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    ::close(fd);
    return bytes;
}

bool WriteAll(int fd, const void* data, std::size_t size) noexcept
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0)
    {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string MessageWithDetail(const std::string& sentence, const std::string& detail)
{
    return sentence + "\r\n\r\n\"" + detail + "\"";
}

int CreateTemporaryBeside(const std::string& path, std::string& temporary) noexcept
{
    try
    {
        // A short fixed name: a target whose own name is as long as a name may be still works.
        temporary = FolderOf(path) + ".tumblet-XXXXXX";
    }
    catch (...)
    {
        errno = ENOMEM;
        return -1;
    }
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    // mkstemp makes the file private; presets, settings and renders get the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return fd;
}

void WriteFileAtomically(const std::string& path, const void* data, std::size_t size)
{
    std::string temporary;
    const int fd = CreateTemporaryBeside(path, temporary);
    if (fd < 0)
        throw std::runtime_error(SystemMessage("Cannot create file", path, errno));
    bool written = WriteAll(fd, data, size) && ::fsync(fd) == 0;
    const int error = errno;
    written = (::close(fd) == 0) && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0)
    {
        const int reason = written ? errno : (error != 0 ? error : EIO);
        ::unlink(temporary.c_str());
        throw std::runtime_error(SystemMessage("Cannot write file", path, reason));
    }
}

std::string FileNameWithoutExtension(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string CleanPresetName(const std::string& name)
{
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string result = name.substr(first, name.find_last_not_of(' ') - first + 1);
    for (char& c : result)
    {
        if (std::strchr("\\/:*?\"<>|", c) != nullptr)
            c = '_';
    }
    return result;
}

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::int32_t TextToIntDef(const std::string& text, std::int32_t defaultValue)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return defaultValue;
    const char* start = text.c_str() + first;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return defaultValue;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0' ? static_cast<std::int32_t>(value) : defaultValue;
}

const char* StyleName(std::int32_t style)
{
    switch (style)
    {
    case 1:
        return "Zuzereda";
    case 2:
        return "Light";
    case 3:
        return "Luna";
    case 4:
        return "Divodo Vididi Vodov";
    default:
        return "Carbon";
    }
}

void SelectStyle(const char* name)
{
    if (TStyleSelector selector = gStyleSelector.load(std::memory_order_acquire))
        selector(name);
    gSelectedStyle.store(name, std::memory_order_release);
}

const char* SelectedStyleName() noexcept
{
    return gSelectedStyle.load(std::memory_order_acquire);
}

void SetStyleSelector(TStyleSelector selector) noexcept
{
    gStyleSelector.store(selector, std::memory_order_release);
}

} // namespace tumblet
