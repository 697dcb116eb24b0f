#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

class TPluginHost;

/// Reads a preset file, checks a ".brindlexp" file's container, and hands the bytes to the
/// plug-in as its program chunk. Throws a runtime error when the file or the plug-in refuses.
void LoadPreset(TPluginHost& host, const std::string& path);

/// Throws a runtime error unless bytes form a state container: "mmst", a little-endian payload
/// size that matches the file, and a payload that begins with "TPF0".
void CheckStateContainer(const std::vector<std::uint8_t>& bytes, const std::string& path);

} // namespace tumblet
