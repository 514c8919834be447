#pragma once
// GetTickCount64 for Windows XP (TickCount64.cpp says why the programs need it).

#include <atomic>
#include <cstdint>

namespace winxp {

// The 64-bit count of milliseconds from the 32-bit one, `now`, which wraps after
// 49.7 days: `last` holds the wraps seen so far in its high half and the last
// count in its low half, and is brought up to date. A count up to a minute older
// than the last (a thread held up after reading it) gives the last. Safe to call
// from any thread.
std::uint64_t ExtendTickCount(std::uint32_t now, std::atomic<std::uint64_t>& last);

}  // namespace winxp
