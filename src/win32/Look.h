#pragma once
// How the windows look on screen: twips to pixels at the screen's resolution,
// the fonts of the layout, and its colours by role.

#include <windows.h>

#include <map>
#include <string>

#include "screens/Layout.h"

namespace win32 {

// The screen's dots per inch (LOGPIXELSX), 96 when it cannot be asked.
int ScreenDpi();

// A font's LOGFONT height for its points at `dpi`: minus the pixels of the
// em height, rounded to the nearest pixel.
int FontHeight(double points, int dpi);

// The control's rectangle in pixels, in its container's client coordinates.
RECT PixelRect(const layout::ControlLayout& control, int dpi);

// The colour of a role; `fallback` for the system default.
COLORREF ColourOf(layout::Colour colour, COLORREF fallback);
// Black or white, whichever is easier to read on `background`.
COLORREF ReadableOn(COLORREF background);
// The system colour index of a role that is one, else -1.
int SystemColourIndex(layout::Colour colour);

// The frame, caption and task-bar entry of a window of the layout.
struct WindowStyles {
    DWORD style = 0;
    DWORD exStyle = 0;
};
WindowStyles StylesOf(const layout::WindowLayout& window);
// The window rectangle around a client area, for those styles.
RECT OuterRect(RECT client, const WindowStyles& styles);
// The window's client size in pixels.
SIZE ClientSize(const layout::WindowLayout& window, int dpi);

// The layout's fonts at one resolution, made on first use and deleted with the set.
class FontSet {
public:
    explicit FontSet(int dpi) : dpi_(dpi) {}
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    ~FontSet();

    // "MS Sans Serif" at the font's points (the window's 8.25 for points 0).
    // Where the face is missing, a stand-in drawn narrower to the face's widths.
    HFONT Get(layout::Font font);
    // The face the fonts are made in, and whether it stands in for the missing one.
    const std::wstring& Face();
    bool StandIn() { Face(); return standIn_; }
    // How much narrower than its own width the stand-in is drawn (1: not at all).
    double Narrowing() { Face(); return narrowing_; }

private:
    int dpi_;
    std::wstring face_;
    bool standIn_ = false;
    double narrowing_ = 1.0;
    std::map<std::pair<int, bool>, HFONT> fonts_;
};

// Brushes of solid colours, kept for the windows' lifetime.
class BrushSet {
public:
    BrushSet() = default;
    BrushSet(const BrushSet&) = delete;
    BrushSet& operator=(const BrushSet&) = delete;
    ~BrushSet();
    HBRUSH Get(COLORREF colour);

private:
    std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace win32
