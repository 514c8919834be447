// GetTickCount64 for programs that must start on Windows XP, which lacks it.
//
// The threads library under the C++ library (winpthreads) calls GetTickCount64
// through the import table. A program that imports it does not start on XP at
// all ("The procedure entry point GetTickCount64 could not be located"). This
// file defines that import slot itself: it points to a function that calls
// the system's own GetTickCount64 where there is one (Vista and later), and on
// XP extends the 32-bit GetTickCount, which wraps after 49.7 days, to 64 bits.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "winxp/TickCount64.h"

std::uint64_t winxp::ExtendTickCount(std::uint32_t now, std::atomic<std::uint64_t>& last) {
    // A thread that read the count and was held up before it got here may
    // bring one a little older than the last: that is no wrap, the last stands.
    constexpr std::uint32_t kLate = 60 * 1000;
    std::uint64_t seen = last.load();
    for (;;) {
        const std::uint32_t low = static_cast<std::uint32_t>(seen);
        if (now < low && low - now <= kLate) return seen;
        const std::uint64_t wraps = (seen >> 32) + (now < low ? 1 : 0);
        const std::uint64_t next = (wraps << 32) | now;
        if (next == seen || last.compare_exchange_weak(seen, next)) return next;
    }
}

namespace {

using TickCountFunction = ULONGLONG(WINAPI*)();

// The milliseconds since the system started, from GetTickCount.
std::atomic<std::uint64_t> g_last{0};

ULONGLONG FromTickCount() { return winxp::ExtendTickCount(GetTickCount(), g_last); }

// Looked up once; no function-local static, whose guard would itself take
// the threads library's locks and so come back here.
std::atomic<int> g_looked{0};  // 0: not yet, 1: the system has one, 2: it has none
std::atomic<TickCountFunction> g_system{nullptr};

ULONGLONG WINAPI TickCount64() {
    int looked = g_looked.load();
    if (looked == 0) {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        const FARPROC found = kernel ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
        g_system.store(reinterpret_cast<TickCountFunction>(reinterpret_cast<void*>(found)));
        looked = found ? 1 : 2;
        g_looked.store(looked);
    }
    return looked == 1 ? g_system.load()() : FromTickCount();
}

}  // namespace

// The import slot that the code calling GetTickCount64 reads its address from.
#if defined(__i386__)
extern "C" TickCountFunction ombrel_GetTickCount64_slot __asm__("__imp__GetTickCount64@0");
#else
extern "C" TickCountFunction ombrel_GetTickCount64_slot __asm__("__imp_GetTickCount64");
#endif
TickCountFunction ombrel_GetTickCount64_slot = &TickCount64;
