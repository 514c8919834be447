#pragma once
// The five help and information windows, built from the layout: their
// captions, frames, places and client sizes, the pictures in their boxes and
// the labels in their fonts. Each window object is created the first time it
// is asked for (its pictures decoded then) and kept; each showing builds the
// on-screen window afresh in its design state, modally, and only its close
// box ends the showing, which discards the on-screen window.

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "screens/Layout.h"
#include "win32/Look.h"
#include "win32/Pictures.h"

namespace win32 {

class HelpWindows {
public:
    HelpWindows(HINSTANCE instance, int dpi);
    HelpWindows(const HelpWindows&) = delete;
    HelpWindows& operator=(const HelpWindows&) = delete;
    ~HelpWindows();

    // The window the help windows belong to and disable while they show.
    void SetOwner(HWND owner) { owner_ = owner; }

    // Shows the window and returns when the user has closed it. False when it
    // could not be created (CreationError says why).
    bool Show(layout::HelpWindow which);

    // The on-screen window while it shows (nullptr otherwise).
    HWND Window(layout::HelpWindow which) const;
    // How often the window object has been created (once at most).
    int Creations(layout::HelpWindow which) const;
    // The window's place and size as designed, in screen pixels.
    RECT DesignRect(layout::HelpWindow which) const;
    // Its controls in the layout's order, while it shows.
    const std::vector<HWND>& Items(layout::HelpWindow which) const;
    // The picture a picture box or image shows (nullptr for other controls).
    const Picture* PictureOf(HWND item) const;
    const std::wstring& CreationError() const { return creationError_; }

private:
    struct Shown;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    Shown* Create(layout::HelpWindow which);
    bool Build(Shown& shown);

    HINSTANCE instance_;
    int dpi_;
    HWND owner_ = nullptr;
    FontSet fonts_;
    BrushSet brushes_;
    std::array<std::unique_ptr<Shown>, layout::kHelpWindows> windows_;
    std::array<int, layout::kHelpWindows> creations_{};
    std::wstring creationError_;
};

}  // namespace win32
