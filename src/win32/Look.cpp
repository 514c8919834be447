#include "win32/Look.h"

#include <algorithm>
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

RECT PixelRect(const layout::ControlLayout& control, int dpi) {
    const int left = layout::Pixels(control.left, dpi);
    const int top = layout::Pixels(control.top, dpi);
    return RECT{left, top, left + layout::Pixels(control.width, dpi), top + layout::Pixels(control.height, dpi)};
}

WindowStyles StylesOf(const layout::WindowLayout& window) {
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

SIZE ClientSize(const layout::WindowLayout& window, int dpi) {
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

COLORREF ReadableOn(COLORREF background) {
    // Perceived brightness, 0 to 255 (ITU-R BT.601 weights).
    const int brightness = (299 * GetRValue(background) + 587 * GetGValue(background) + 114 * GetBValue(background)) / 1000;
    return brightness < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

FontSet::~FontSet() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

namespace {

LOGFONTW Description(const std::wstring& face, double points, bool bold, int dpi, int width) {
    LOGFONTW description{};
    description.lfHeight = FontHeight(points, dpi);
    description.lfWidth = width;
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;  // a sans-serif where the face is missing
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    return description;
}

// What a font looks like on the screen: the face the system gave for it, its
// average character width, and the width of the sample sentence below.
struct Measured {
    std::wstring face;
    int averageWidth = 0;
    int sampleWidth = 0;
};

// 43 letters that take some 196 px at 11 px (96 dpi) in "MS Sans Serif".
constexpr wchar_t kSample[] = L"The quick brown fox jumps over the lazy dog";
constexpr int kSampleLength = static_cast<int>(sizeof(kSample) / sizeof(kSample[0])) - 1;

Measured Measure(HFONT font) {
    Measured measured;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return measured;
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    measured.face = face;
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) measured.averageWidth = metrics.tmAveCharWidth;
    SIZE extent{};
    if (GetTextExtentPoint32W(dc, kSample, kSampleLength, &extent)) measured.sampleWidth = extent.cx;
    SelectObject(dc, old);
    DeleteDC(dc);
    return measured;
}

bool SameFace(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

}  // namespace

const std::wstring& FontSet::Face() {
    if (!face_.empty()) return face_;
    // The face itself (or the name Windows gives it since Vista); where neither
    // is installed, as under Wine without its own fonts, a sans-serif of the
    // same metrics family, else whatever the system picks for a Swiss face.
    const std::wstring wanted = FromUtf8(layout::kFontFace);
    for (const wchar_t* candidate : {wanted.c_str(), L"Microsoft Sans Serif", L"Arial", L"Liberation Sans"}) {
        const LOGFONTW description = Description(candidate, layout::kDefaultPoints, false, dpi_, 0);
        HFONT probe = CreateFontIndirectW(&description);
        if (!probe) continue;
        const Measured measured = Measure(probe);
        DeleteObject(probe);
        if (SameFace(measured.face, candidate)) {
            face_ = candidate;
            break;
        }
    }
    if (face_.empty()) face_ = wanted;
    standIn_ = !SameFace(face_, wanted) && !SameFace(face_, L"Microsoft Sans Serif");
    if (standIn_) {
        // A stand-in is wider than the face the captions were fitted to: it is
        // drawn narrower, by the same share at every size, so that they fit.
        const LOGFONTW description = Description(face_, layout::kDefaultPoints, false, dpi_, 0);
        HFONT probe = CreateFontIndirectW(&description);
        if (probe) {
            const Measured measured = Measure(probe);
            DeleteObject(probe);
            const double target = 196.0 * MulDiv(825, dpi_, 7200) / 11.0;
            if (measured.sampleWidth > target) narrowing_ = std::max(0.75, target / measured.sampleWidth);
        }
    }
    return face_;
}

HFONT FontSet::Get(layout::Font font) {
    const double points = font.points > 0 ? font.points : layout::kDefaultPoints;
    const auto key = std::make_pair(static_cast<int>(std::lround(points * 100.0)), font.bold);
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;

    const std::wstring& face = Face();
    LOGFONTW description = Description(face, points, font.bold, dpi_, 0);
    HFONT made = CreateFontIndirectW(&description);
    if (made && narrowing_ < 1.0) {
        const Measured measured = Measure(made);
        if (measured.averageWidth > 0) {
            description.lfWidth = std::max(1, static_cast<int>(std::lround(measured.averageWidth * narrowing_)));
            if (HFONT narrow = CreateFontIndirectW(&description)) {
                DeleteObject(made);
                made = narrow;
            }
        }
    }
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
