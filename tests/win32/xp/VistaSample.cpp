// A program that cannot run on Windows XP, for the test of the XP check: it
// calls a function that came with Windows Vista and one of a DLL that XP lacks.
// (GetTickCount64 would not do: every program here gets an XP stand-in for it.)
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>
#include <bcrypt.h>

#include <cstdio>

int main() {
    unsigned char random[4] = {};
    BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    wchar_t path[MAX_PATH] = {};
    GetFinalPathNameByHandleW(GetStdHandle(STD_OUTPUT_HANDLE), path, MAX_PATH, 0);
    std::printf("%ls %u\n", path, random[0]);
    return 0;
}
