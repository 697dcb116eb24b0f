#include "support/CountingAllocator.h"

#include <execinfo.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

std::atomic<long> gAllocations{0};
std::atomic<bool> gCounting{false};
// Where the first counted allocation came from.
constexpr int kStackDepth = 32;
void* gFirstStack[kStackDepth];
int gFirstDepth = 0;

void Count() noexcept
{
    if (gCounting.load(std::memory_order_relaxed) &&
        gAllocations.fetch_add(1, std::memory_order_relaxed) == 0)
        gFirstDepth = backtrace(gFirstStack, kStackDepth);
}

void* Allocate(std::size_t size)
{
    Count();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept
{
    Count();
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

namespace tumblet::test
{

void TAllocationCounter::Start() noexcept
{
    backtrace(gFirstStack, kStackDepth); // loads the unwinder before counting starts
    gFirstDepth = 0;
    gAllocations.store(0, std::memory_order_relaxed);
    gCounting.store(true, std::memory_order_relaxed);
}

long TAllocationCounter::Stop() noexcept
{
    gCounting.store(false, std::memory_order_relaxed);
    return gAllocations.load(std::memory_order_relaxed);
}

void TAllocationCounter::PrintFirstAllocation() noexcept
{
    if (gFirstDepth > 0)
        backtrace_symbols_fd(gFirstStack, gFirstDepth, STDERR_FILENO);
}

} // namespace tumblet::test

// Every form of new counts; every form of delete goes to free, so the sanitizers see matching
// pairs.
void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateNoThrow(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
