#pragma once

// The CLAP extension that lets a plug-in hand the host a file descriptor to watch on its main
// thread. It is part of CLAP 1.1 but missing from the headers Debian ships, so it is declared
// here from the public CLAP documentation: the id, the three event bits and the two records.

#include <clap/host.h>
#include <clap/plugin.h>

#include <cstdint>

extern "C"
{

    inline constexpr char kClapExtPosixFdSupport[] = "clap.posix-fd-support";

    /// What a descriptor is watched for, and what happened to it.
    inline constexpr std::uint32_t kClapPosixFdRead = 1u << 0;
    inline constexpr std::uint32_t kClapPosixFdWrite = 1u << 1;
    inline constexpr std::uint32_t kClapPosixFdError = 1u << 2;

    /// The plug-in's side: the host calls on_fd on its main thread while the descriptor is ready.
    struct TClapPluginPosixFdSupport
    {
        void (*on_fd)(const clap_plugin_t* plugin, int fd, std::uint32_t flags);
    };

    /// The host's side; every call on the main thread.
    struct TClapHostPosixFdSupport
    {
        bool (*register_fd)(const clap_host_t* host, int fd, std::uint32_t flags);
        bool (*modify_fd)(const clap_host_t* host, int fd, std::uint32_t flags);
        bool (*unregister_fd)(const clap_host_t* host, int fd);
    };
}
