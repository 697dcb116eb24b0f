#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

class TPluginHost;

/// Reads a preset file, checks it when the plug-in is Tumblet, and hands the bytes to the
/// plug-in as its program chunk. Throws a runtime error when the file or the plug-in refuses.
void LoadPreset(TPluginHost& host, const std::string& path);

/// Throws a runtime error unless bytes form a state container ("mmst", a little-endian payload
/// size that matches the file) whose payload Tumblet's reader would accept.
void CheckStateContainer(const std::vector<std::uint8_t>& bytes, const std::string& path);

} // namespace tumblet
