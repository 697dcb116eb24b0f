#pragma once

// Every test process lives in a home of its own, made before any test runs, whoever started the
// process (ctest, a script or a person at a shell). The user's own settings, presets and init
// preset are then out of reach, and parallel runs never share a scratch name.

#include <filesystem>
#include <string>

namespace tumblet::test
{

class TTestHome
{
public:
    /// Makes the process's home and points HOME, XDG_CONFIG_HOME, XDG_DOCUMENTS_DIR,
    /// XDG_RUNTIME_DIR and TMPDIR into it. Thread: main, before any test runs.
    static void Enter();
    /// Removes the home again. Thread: main, after every test has run.
    static void Leave();
    /// The home made by Enter(); empty before.
    static const std::filesystem::path& Path();
    /// A new empty folder inside the home, named after the prefix.
    static std::filesystem::path NewFolder(const std::string& prefix);
};

/// Deletes a folder and everything in it, but only inside the process's home: any other path
/// ends the process with a message, since a test must never delete what it did not make.
void RemoveTestFolder(const std::filesystem::path& folder);

} // namespace tumblet::test
