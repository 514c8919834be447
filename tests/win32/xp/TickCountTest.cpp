// The stand-in for GetTickCount64 that lets the programs start on Windows XP:
// the threads library's calls reach it instead of kernel32, it gives the
// system's own count where there is one, and on XP it carries the 32-bit
// count on across its wrap after 49.7 days.

#include "winxp/TickCount64.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

using TickCountFunction = ULONGLONG(WINAPI*)();

// The import slot through which the threads library calls GetTickCount64.
#if defined(__i386__)
extern "C" TickCountFunction tick_count_slot __asm__("__imp__GetTickCount64@0");
#else
extern "C" TickCountFunction tick_count_slot __asm__("__imp_GetTickCount64");
#endif

TEST(TickCount64, TheImportSlotIsOursAndGivesTheSystemsCount) {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    const auto system =
        reinterpret_cast<TickCountFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")));
    ASSERT_NE(system, nullptr) << "this Windows has no GetTickCount64 to compare with";
    ASSERT_NE(tick_count_slot, nullptr);
    EXPECT_NE(tick_count_slot, system) << "the program imports GetTickCount64 from kernel32: it will not start on XP";

    const ULONGLONG before = system();
    const ULONGLONG ours = tick_count_slot();
    const ULONGLONG after = system();
    EXPECT_LE(before, ours);
    EXPECT_LE(ours, after);
}

TEST(TickCount64, TheThirtyTwoBitCountIsCarriedOnAcrossItsWrap) {
    struct Step {
        std::uint32_t now;
        std::uint64_t expected;
    };
    const Step steps[] = {
        {5, 5},
        {0xFFFFFF00u, 0xFFFFFF00u},
        {0xFFFFFF00u, 0xFFFFFF00u},                // the same count again
        {0x00000010u, 0x1'00000010u},              // wrapped
        {0x7FFFFFFFu, 0x1'7FFFFFFFu},
        {0x7FFFFF00u, 0x1'7FFFFFFFu},              // read a little earlier by a late thread: no wrap
        {0x00000001u, 0x2'00000001u},              // wrapped again
    };
    std::atomic<std::uint64_t> last{0};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.now);
        EXPECT_EQ(winxp::ExtendTickCount(step.now, last), step.expected);
        EXPECT_EQ(last.load(), step.expected);
    }
}

// Threads that read one clock and then race to bring their counts in, some a
// little older than the last, never make it jump by a wrap.
TEST(TickCount64, ThreadsWithSlightlyOlderCountsCountNoWrap) {
    std::atomic<std::uint32_t> clock{1000};
    std::atomic<std::uint64_t> last{1000};
    std::atomic<bool> wrapped{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                const std::uint32_t now = clock.fetch_add(1);
                if (i % 7 == 0) std::this_thread::yield();  // held up after reading it
                if (winxp::ExtendTickCount(now, last) >> 32 != 0) wrapped = true;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_FALSE(wrapped.load());
    EXPECT_EQ(last.load(), clock.load() - 1);
}
