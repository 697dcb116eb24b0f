#include "OutputFiles.h"

#include "RenderError.h"
#include "plugin/BlxCommon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tumblet
{

namespace
{

enum class TTargetKind
{
    New,         ///< nothing there yet
    Regular,     ///< an existing file (perhaps behind links): replaced
    WriteThrough ///< a character device or FIFO: written into
};

struct TTarget
{
    TTargetKind Kind = TTargetKind::New;
    std::string Destination;
};

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// What a file of this mode is, in words, for refusals.
std::string KindName(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

[[noreturn]] void CannotWrite(const std::string& target, const std::string& reason)
{
    ThrowRuntime("cannot write " + target + ": " + reason);
}

TTarget Examine(const std::string& target)
{
    if (target.empty())
        ThrowUsage("an output file name is empty");
    struct stat info
    {
    };
    TTarget result;
    if (::stat(target.c_str(), &info) == 0)
    {
        if (S_ISREG(info.st_mode))
        {
            // Through links to the file itself, so that a link stays a link.
            char resolved[PATH_MAX];
            if (::realpath(target.c_str(), resolved) == nullptr)
                CannotWrite(target, std::strerror(errno));
            result.Kind = TTargetKind::Regular;
            result.Destination = resolved;
            return result;
        }
        if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
        {
            result.Kind = TTargetKind::WriteThrough;
            result.Destination = target;
            return result;
        }
        CannotWrite(target, "it is " + KindName(info.st_mode));
    }
    if (errno != ENOENT)
        CannotWrite(target, std::strerror(errno));
    if (::lstat(target.c_str(), &info) == 0)
        CannotWrite(target, "it is a symbolic link to a file that does not exist");
    const std::string folder = FolderOf(target);
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        CannotWrite(target, "the folder " + folder + " does not exist");
    result.Destination = target;
    return result;
}

void WriteThrough(const std::string& target, const std::vector<std::uint8_t>& bytes)
{
    // Without a reader a FIFO would hold the tool forever; opening without waiting tells.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        CannotWrite(target, errno == ENXIO ? "nothing reads from it" : std::strerror(errno));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool written = WriteAll(fd, bytes.data(), bytes.size());
    const int error = errno;
    ::close(fd);
    if (!written)
        CannotWrite(target, std::strerror(error));
}

} // namespace

TOutputFiles::~TOutputFiles()
{
    for (const auto& entry : FEntries)
        if (!entry.Temporary.empty())
            ::unlink(entry.Temporary.c_str());
}

void TOutputFiles::Check(const std::string& target)
{
    Examine(target);
}

void TOutputFiles::WriteBytes(const std::string& target, const std::vector<std::uint8_t>& bytes)
{
    const TTarget examined = Examine(target);
    TEntry entry;
    entry.Target = target;
    entry.Destination = examined.Destination;
    if (examined.Kind == TTargetKind::WriteThrough)
    {
        entry.Bytes = bytes;
        FEntries.push_back(std::move(entry));
        return;
    }
    const int fd = CreateTemporaryBeside(examined.Destination, entry.Temporary);
    if (fd < 0)
        CannotWrite(target, std::strerror(errno));
    FEntries.push_back(entry); // from here on the destructor removes it
    bool written = WriteAll(fd, bytes.data(), bytes.size());
    const int error = errno;
    written = ::close(fd) == 0 && written;
    if (!written)
        CannotWrite(target, std::strerror(error != 0 ? error : EIO));
}

void TOutputFiles::CommitAll()
{
    for (auto& entry : FEntries)
    {
        if (entry.Temporary.empty())
            WriteThrough(entry.Destination, entry.Bytes);
        else if (::rename(entry.Temporary.c_str(), entry.Destination.c_str()) != 0)
            CannotWrite(entry.Target, std::strerror(errno));
        else
            entry.Temporary.clear();
    }
    FEntries.clear();
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, const std::string& what,
                                        std::size_t maxBytes)
{
    const std::string name = "cannot read the " + what + " " + path + ": ";
    // Without waiting: a FIFO is refused below rather than waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        ThrowRuntime(name + std::strerror(errno));
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        const std::string kind = S_ISCHR(info.st_mode)    ? "it is a device"
                                 : S_ISFIFO(info.st_mode) ? "it is a FIFO"
                                                          : "it is " + KindName(info.st_mode);
        ::close(fd);
        ThrowRuntime(name + kind);
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
    {
        ::close(fd);
        ThrowRuntime(name + "it is larger than " + std::to_string(maxBytes / (1024 * 1024)) +
                     " MiB");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t count = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
        {
            const int error = errno;
            ::close(fd);
            ThrowRuntime(name + std::strerror(error));
        }
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

} // namespace tumblet
