#pragma once

// Every entry a plug-in format's host calls contains its failures: nothing thrown inside may
// reach the host. A failure is reported on one line of standard error and the call gives its
// neutral answer.

#include <cstdio>
#include <exception>

namespace tumblet
{

template <class TCall>
auto Contained(const char* format, const char* where, TCall call, decltype(call()) neutral)
{
    try
    {
        return call();
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "Tumblet (%s): %s: %s\n", format, where, e.what());
    }
    catch (...)
    {
        std::fprintf(stderr, "Tumblet (%s): %s: unknown error\n", format, where);
    }
    return neutral;
}

} // namespace tumblet
