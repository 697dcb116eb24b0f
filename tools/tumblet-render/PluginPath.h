#pragma once

// Where the tools find a plug-in: the Tumblet.so beside the running executable by default (or,
// installed from the package, the one in lib/vst/ of the same prefix), and a name that exists as
// a file is that file, never a name for the library search path.

#include <filesystem>
#include <string>

namespace tumblet
{

/// The plug-in beside the running executable, else the installed one of the same prefix.
inline std::string DefaultPluginPath()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./Tumblet.so";
    const auto beside = self.parent_path() / "Tumblet.so";
    const auto installed = self.parent_path().parent_path() / "lib" / "vst" / "Tumblet.so";
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error))
        return installed.string();
    return beside.string();
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
