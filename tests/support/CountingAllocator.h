#pragma once

// Counts the process's global operator new calls. Only a binary that links the object library
// tumblet_counting_allocator gets the counting operators; give such a test a binary of its own.

namespace tumblet::test
{

class TAllocationCounter
{
public:
    /// Starts counting from zero.
    static void Start() noexcept;
    /// Stops counting; returns the allocations made since Start.
    static long Stop() noexcept;
    /// Prints to standard error where the first counted allocation came from.
    static void PrintFirstAllocation() noexcept;
};

/// Runs an action with the counter on and returns its allocations.
template <typename TAction> long CountAllocations(TAction&& action)
{
    TAllocationCounter::Start();
    action();
    return TAllocationCounter::Stop();
}

} // namespace tumblet::test
