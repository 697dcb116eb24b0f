#pragma once

// Folders, files, preset names and the process-wide style selection shared by the module's
// settings and preset operations. Thread: UI or creation unless marked.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

/// The extension of preset files, with its dot; only files written with it in lower case load.
constexpr const char* kPresetExtension = ".brindlexp";

/// A message about a failed operation as every box shows one: the operation's sentence, an
/// empty line, then the reason (a system message, a path) in double quotes.
std::string MessageWithDetail(const std::string& sentence, const std::string& detail);

/// The user's documents folder without a trailing separator: XDG_DOCUMENTS_DIR from
/// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else from the environment, else
/// $HOME/Documents; empty when there is no home folder.
std::string DocumentsFolder();

/// The folder of the library holding this code, with a trailing separator; empty when unknown.
std::string LibraryFolder();

bool FileExists(const std::string& path);
/// Creates the folder and every missing parent. Throws std::runtime_error with the reason.
void ForceDirectories(const std::string& folder);
/// The whole content of a file. Throws std::runtime_error with the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
/// Writes all bytes to the descriptor, going on after interruptions; false with errno set.
bool WriteAll(int fd, const void* data, std::size_t size) noexcept;
/// Creates a new empty file with a unique name in the folder of path, exclusively: never through
/// a name or link that already exists. It gets the usual permissions for a new file. Returns its
/// descriptor and sets temporary to its name, or -1 with errno set.
int CreateTemporaryBeside(const std::string& path, std::string& temporary) noexcept;
/// Writes the bytes to a new file beside path, then renames it over path, so that a failure
/// at any point leaves the previous file as it was. Throws std::runtime_error with the reason.
void WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

/// The file name of a path without its folder and extension.
std::string FileNameWithoutExtension(const std::string& path);
/// Trims blanks at both ends and replaces every character a file name cannot hold by "_".
std::string CleanPresetName(const std::string& name);
/// True when name can only name a file inside its folder: not empty, not "." or "..", no
/// path separator or NUL.
bool IsPlainFileName(const std::string& name);

/// Texts written by the settings: an integer in decimal, or the default when text is not one.
std::int32_t TextToIntDef(const std::string& text, std::int32_t defaultValue);

// ---- Process-wide style --------------------------------------------------------------------

/// The name of the style for a skin index (any unknown index gives "Carbon").
const char* StyleName(std::int32_t style);
/// Selects a style by name for the whole process; throws when the installed selector does.
// Thread: UI.
void SelectStyle(const char* name);
/// The last style selected; "Carbon" before any. Thread: any.
const char* SelectedStyleName() noexcept;
/// The editor installs the function that loads a style's look; none by default.
using TStyleSelector = void (*)(const char* name);
void SetStyleSelector(TStyleSelector selector) noexcept;

} // namespace tumblet
