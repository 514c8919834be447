#pragma once
// The help windows' illustrations, stored in the program as the files in
// src/screens/art are (JPEG and BMP) and decoded by the system's own picture
// loader, which every Windows from XP on has.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace win32 {

struct Picture {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;  // pixels
    std::wstring error;         // why there is no bitmap
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();
};

// The illustration the layout names by its file name ("measure.jpg"). Never
// null: on failure the picture has no bitmap and says why.
std::unique_ptr<Picture> LoadPicture(HINSTANCE instance, std::string_view fileName);

}  // namespace win32
