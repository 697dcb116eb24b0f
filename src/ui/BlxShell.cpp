#include "ui/BlxShell.h"

#include <cerrno>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tumblet
{

namespace
{

/// How long the opener may take to report, in ms, and how often it is asked, in ms.
constexpr int kOpenerWaitMs = 2000;
constexpr int kOpenerPollMs = 10;

/// Openers that outlived their wait; collected on later calls so they leave no zombies.
std::vector<pid_t>& Unreaped()
{
    static std::vector<pid_t> pids;
    return pids;
}

void ReapFinished()
{
    std::vector<pid_t>& pids = Unreaped();
    std::erase_if(pids,
                  [](pid_t pid)
                  {
                      int status = 0;
                      pid_t r = waitpid(pid, &status, WNOHANG);
                      return r != 0;
                  });
}

void SleepMs(int ms)
{
    timespec ts{0, long(ms) * 1000000L};
    nanosleep(&ts, nullptr);
}

} // namespace

bool BlxShellOpen(const std::string& path)
{
    ReapFinished();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The opener and what it starts must not inherit the host's files and sockets (our X
    // connection among them).
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    int error = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
    {
        return false;
    }
    for (int waited = 0; waited < kOpenerWaitMs; waited += kOpenerPollMs)
    {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
        {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (r < 0)
        {
            // The host reaps its children itself (SIGCHLD ignored): no status to read.
            return errno == ECHILD;
        }
        SleepMs(kOpenerPollMs);
    }
    Unreaped().push_back(pid);
    return true;
}

} // namespace tumblet
