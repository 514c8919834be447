#include "win32/Look.h"

#include <cmath>

#include "win32/Text.h"

namespace win32 {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int FontHeight(double points, int dpi) {
    // In hundredths of a point, so that 8.25 pt is exact: 825 * 96 / 7200 = 11 px.
    const int hundredths = static_cast<int>(std::lround(points * 100.0));
    return -MulDiv(hundredths, dpi, 7200);
}

RECT PixelRect(const layout::ControlSpec& control, int dpi) {
    const int left = layout::Pixels(control.left, dpi);
    const int top = layout::Pixels(control.top, dpi);
    return RECT{left, top, left + layout::Pixels(control.width, dpi), top + layout::Pixels(control.height, dpi)};
}

WindowStyles StylesOf(const layout::WindowSpec& window) {
    WindowStyles styles;
    const DWORD closeBox = window.controlBox ? WS_SYSMENU : 0;
    // A window that the system places must be an overlapped one.
    const DWORD kind = window.manualPlacement ? WS_POPUP : WS_OVERLAPPED;
    switch (window.border) {
    case layout::Border::FixedDialog:
        styles.style = kind | WS_CAPTION | closeBox;
        styles.exStyle = WS_EX_DLGMODALFRAME;
        break;
    case layout::Border::SizableToolWindow:
        styles.style = kind | WS_CAPTION | WS_THICKFRAME | closeBox;
        styles.exStyle = WS_EX_TOOLWINDOW;
        break;
    case layout::Border::Sizable:
        styles.style = kind | WS_CAPTION | WS_THICKFRAME | closeBox;
        break;
    }
    if (window.minMaxBoxes) styles.style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    // A tool window never shows in the task bar; an owned window does only when asked.
    if (window.inTaskbar) styles.exStyle |= WS_EX_APPWINDOW;
    styles.style |= WS_CLIPCHILDREN;
    return styles;
}

RECT OuterRect(RECT client, const WindowStyles& styles) {
    AdjustWindowRectEx(&client, styles.style, FALSE, styles.exStyle);
    return client;
}

SIZE ClientSize(const layout::WindowSpec& window, int dpi) {
    return SIZE{layout::Pixels(window.clientWidth, dpi), layout::Pixels(window.clientHeight, dpi)};
}

int SystemColourIndex(layout::Colour colour) {
    switch (colour) {
    case layout::Colour::ButtonFace: return COLOR_BTNFACE;
    case layout::Colour::ScrollBar: return COLOR_SCROLLBAR;
    case layout::Colour::TitleBarText: return COLOR_CAPTIONTEXT;
    case layout::Colour::Default:
    case layout::Colour::Red:
    case layout::Colour::DarkRed: break;
    }
    return -1;
}

COLORREF ColourOf(layout::Colour colour, COLORREF fallback) {
    if (const auto fixed = layout::FixedColour(colour)) return RGB(fixed->red, fixed->green, fixed->blue);
    const int system = SystemColourIndex(colour);
    return system >= 0 ? GetSysColor(system) : fallback;
}

FontSet::~FontSet() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT FontSet::Get(layout::Font font) {
    const double points = font.points > 0 ? font.points : layout::kDefaultPoints;
    const auto key = std::make_pair(static_cast<int>(std::lround(points * 100.0)), font.bold);
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;

    LOGFONTW description{};
    description.lfHeight = FontHeight(points, dpi_);
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;  // a sans-serif where the face is missing
    const std::wstring face = FromUtf8(layout::kFontFace);
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&description);
    if (!made) made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_[key] = made;
    return made;
}

BrushSet::~BrushSet() {
    for (auto& [colour, brush] : brushes_) DeleteObject(brush);
}

HBRUSH BrushSet::Get(COLORREF colour) {
    if (const auto found = brushes_.find(colour); found != brushes_.end()) return found->second;
    HBRUSH brush = CreateSolidBrush(colour);
    brushes_[colour] = brush;
    return brush;
}

}  // namespace win32
