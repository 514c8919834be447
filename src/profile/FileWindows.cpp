// The file layer on Windows, through the wide API only: paths are Unicode from
// the open dialog down to CreateFileW, so a profile in any folder the system can
// name opens and saves. Every call here exists on Windows XP SP3.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "profile/FileAccess.h"

namespace profile::files {
namespace {

// Wide text to UTF-8. CP_UTF8 takes no flags on XP; a lone surrogate becomes U+FFFD.
std::string Utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int wide = static_cast<int>(std::min<std::size_t>(length, 0x7fffffff));
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, wide, out.data(), size, nullptr, nullptr);
    return out;
}

// The system's own text for an error code, in UTF-8, without the line end
// FormatMessage puts after it. The window speaks English, so English is asked
// for first; a system without English messages gives its own language.
std::string Reason(DWORD error) {
    const DWORD languages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 0};
    for (const DWORD language : languages) {
        wchar_t* buffer = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
            error, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        if (length == 0 || buffer == nullptr) continue;
        std::wstring text(buffer, length);
        LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
        if (!text.empty()) return Utf8(text.data(), text.size());
    }
    return "Windows error " + std::to_string(error);
}

Outcome Failed(DWORD error) { return {false, Reason(error)}; }
Outcome Failed(std::string reason) { return {false, std::move(reason)}; }

// A folder in the file's place: Windows says only that access is denied.
std::string FolderInPlace() { return Reason(ERROR_ACCESS_DENIED) + " The name is that of a folder, not of a file."; }

std::string TooLarge(std::uint64_t largest) {
    return "the file is larger than " + std::to_string(largest) + " bytes, the most a profile can hold";
}

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now; the error of CloseHandle, 0 when none.
    DWORD close() {
        if (!valid()) return 0;
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : GetLastError();
    }
    void reset() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    void adopt(HANDLE handle) {
        reset();
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// The attributes of a path: found, or the error that says why not.
struct Attributes {
    DWORD error = 0;  // 0 when found
    DWORD bits = 0;
    bool missing() const { return error == ERROR_FILE_NOT_FOUND; }
    bool folder() const { return error == 0 && (bits & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

Attributes AttributesOf(const std::wstring& path) {
    const DWORD bits = GetFileAttributesW(path.c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) return {GetLastError(), 0};
    return {0, bits};
}

// The attributes a user gives a profile, which its new content keeps. The
// archive bit is left as the write set it: the file has changed.
constexpr DWORD kUserAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives the replaced profile the user's attributes it had before. Windows'
// ReplaceFileW does so itself; Wine's does not. The text is saved either way,
// so a failure here is no failure of the save.
void KeepAttributes(const std::wstring& path, DWORD before) {
    const Attributes after = AttributesOf(path);
    if (after.error != 0 || (after.bits & kUserAttributes) == (before & kUserAttributes)) return;
    DWORD bits = (after.bits & FILE_ATTRIBUTE_ARCHIVE) | (before & kUserAttributes);
    SetFileAttributesW(path.c_str(), bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL);
}

// Writes all bytes, in pieces a DWORD can count; 0 or the error.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kPiece = 1 << 20;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD piece = static_cast<DWORD>(std::min(kPiece, bytes.size() - done));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, piece, &wrote, nullptr)) return GetLastError();
        if (wrote == 0) return ERROR_DISK_FULL;
        done += wrote;
    }
    return 0;
}

// A new file in the profile's folder under a name no file has yet, short and in
// 8.3 form so that it fits wherever the profile's name fits. The file is left
// open for writing in `file`; an empty name when none could be made, and
// `error` then says why.
std::wstring NewFileBeside(const std::wstring& folder, Handle& file, DWORD& error) {
    static unsigned counter = 0;
    const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (unsigned attempt = 0; attempt < 64; ++attempt) {
        const unsigned number = (seed + 0x9e3779b9u * (++counter)) & 0xffffu;
        std::wstring name = L"~omb";
        for (int shift = 12; shift >= 0; shift -= 4) name += L"0123456789ABCDEF"[(number >> shift) & 0xfu];
        name += L".tmp";
        std::wstring candidate = folder.empty() ? name : folder + L"\\" + name;
        file.adopt(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
        if (file.valid()) return candidate;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

// Removes a file of ours; an empty text when it is gone, else what to tell.
std::string Remove(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    return " The temporary file " + Utf8(path.data(), path.size()) + " is left behind: " + Reason(error);
}

}  // namespace

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    return Utf8(text.data(), text.size());
}

Outcome ReadWhole(const std::filesystem::path& path, std::string& bytes, std::uint64_t largest) {
    // Others may go on reading and writing it meanwhile; a program that holds it
    // without sharing makes the open fail with its own reason.
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && AttributesOf(path.native()).folder()) return Failed(FolderInPlace());
        return Failed(error);
    }

    std::string text;
    if (GetFileType(file.get()) == FILE_TYPE_DISK) {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size)) return Failed(GetLastError());
        if (static_cast<std::uint64_t>(size.QuadPart) > largest) return Failed(TooLarge(largest));
        // Room behind the text, so that the longer values of a save do not move it.
        text.reserve(static_cast<std::size_t>(size.QuadPart) + 64 * 1024);
    }
    // Read to the end, whatever the size said: a file that grows meanwhile is read whole.
    std::vector<char> chunk(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) break;
            return Failed(error);
        }
        if (got == 0) break;
        if (text.size() + got > largest) return Failed(TooLarge(largest));
        text.append(chunk.data(), got);
    }
    bytes = std::move(text);
    return {true, {}};
}

Outcome ReplaceWhole(const std::filesystem::path& path, std::string_view bytes) {
    const std::wstring target = path.native();
    const std::wstring folder = path.has_parent_path() ? path.parent_path().native() : std::wstring();

    // An existing file: refused like a direct write when it cannot be written
    // (read-only, held by another program, no right to it).
    const Attributes before = AttributesOf(target);
    if (before.error != 0 && !before.missing()) return Failed(before.error);
    const bool existed = before.error == 0;
    if (before.folder()) return Failed(FolderInPlace());
    if (existed) {
        // Windows refuses to write a read-only file even to an administrator.
        if ((before.bits & FILE_ATTRIBUTE_READONLY) != 0)
            return Failed(Reason(ERROR_ACCESS_DENIED) + " The file is marked read-only.");
        Handle probe(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.valid()) return Failed(GetLastError());
        // Only a file on a disk is replaced: a device in the profile's place is not swapped for one.
        if (GetFileType(probe.get()) != FILE_TYPE_DISK) return Failed(std::string("not a regular file"));
    }

    DWORD error = 0;
    Handle file;
    const std::wstring temporary = NewFileBeside(folder, file, error);
    if (temporary.empty()) return Failed(error);
    const auto abandon = [&](std::string reason) {
        file.reset();
        return Failed(std::move(reason) + Remove(temporary));
    };

    if (const DWORD failed = WriteAll(file.get(), bytes)) return abandon(Reason(failed));
    // Every byte must be on the disk before the temporary file replaces the
    // profile: a full disk can show only here, when the clusters are allocated.
    if (!FlushFileBuffers(file.get())) return abandon(Reason(GetLastError()));
    if (const DWORD failed = file.close()) return abandon(Reason(failed));

    if (existed) {
        // ReplaceFileW gives the new file the profile's attributes, and with a
        // backup name keeps the profile under one of the two names whatever fails.
        Handle reserved;
        const std::wstring backup = NewFileBeside(folder, reserved, error);
        if (backup.empty()) return abandon(Reason(error));
        reserved.reset();
        if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
            DeleteFileW(backup.c_str());
            KeepAttributes(target, before.bits);
            return {true, {}};
        }
        const DWORD failed = GetLastError();
        // Some failures leave the profile under the backup name (the new file
        // could not take its place): it goes back. Kept there if even that fails.
        if (AttributesOf(target).missing() && AttributesOf(backup).error == 0 &&
            !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return abandon(Reason(failed) + " The profile is kept as " + Utf8(backup.data(), backup.size()) +
                           ": " + Reason(GetLastError()));
        }
        const std::string left = Remove(backup);
        // The profile was gone before the replace: the new file simply takes the
        // name. A file system that cannot replace files (some network shares)
        // gets the new file moved over the profile instead.
        const bool cannotReplace = failed == ERROR_NOT_SUPPORTED || failed == ERROR_INVALID_FUNCTION ||
                                   failed == ERROR_INVALID_PARAMETER || failed == ERROR_CALL_NOT_IMPLEMENTED;
        if (failed != ERROR_FILE_NOT_FOUND && !cannotReplace) return abandon(Reason(failed) + left);
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return abandon(Reason(GetLastError()));
    if (existed) KeepAttributes(target, before.bits);
    return {true, {}};
}

}  // namespace profile::files
