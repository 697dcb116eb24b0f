#pragma once

#include <functional>
#include <utility>

namespace tumblet
{

/// Raises a hook; an unassigned hook is skipped.
template <typename... THookArgs, typename... TArgs>
void Raise(const std::function<void(THookArgs...)>& hook, TArgs&&... args)
{
    if (hook)
    {
        hook(std::forward<TArgs>(args)...);
    }
}

} // namespace tumblet
