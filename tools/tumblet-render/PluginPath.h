#pragma once

// Where the tools find a plug-in: the Tumblet.so beside the running executable by default, and
// a name that exists as a file is that file, never a name for the library search path.

#include <filesystem>
#include <string>

namespace tumblet
{

/// The plug-in beside the running executable.
inline std::string DefaultPluginPath()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./Tumblet.so";
    return (self.parent_path() / "Tumblet.so").string();
}

/// The path to hand dlopen: a bare name that exists as a file gets a folder, since dlopen
/// would otherwise search the library path for it.
inline std::string LoadablePluginPath(const std::string& path)
{
    if (path.find('/') == std::string::npos && std::filesystem::exists(path))
        return "./" + path;
    return path;
}

} // namespace tumblet
