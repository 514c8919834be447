#include "win32/HelpWindows.h"

#include "win32/Text.h"

namespace win32 {
namespace {

using layout::Kind;

constexpr wchar_t kHelpClass[] = L"OmbrelConfigHelpWindow";
constexpr wchar_t kPictureClass[] = L"OmbrelConfigPicture";

// A picture box shows its picture at the picture's own size from its top-left
// corner, cut off by the box; an image stretches it over the whole rectangle.
// The window's user data is the Picture; the style bit below says which.
constexpr DWORD kStretch = 0x0001;

LRESULT CALLBACK PictureProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(box, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box, &paint);
    RECT client;
    GetClientRect(box, &client);
    const auto* picture = reinterpret_cast<const Picture*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    if (picture && picture->bitmap) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture->bitmap);
        if (GetWindowLongW(box, GWL_STYLE) & kStretch) {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, picture->width, picture->height, SRCCOPY);
        } else {
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            BitBlt(dc, 0, 0, picture->width, picture->height, source, 0, 0, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        if (picture) {
            HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            RECT room = client;
            InflateRect(&room, -8, -8);
            DrawTextW(dc, picture->error.c_str(), -1, &room, DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
        }
    }
    EndPaint(box, &paint);
    (void)wParam;
    (void)lParam;
    return 0;
}

bool RegisterClasses(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, kHelpClass, &existing)) {
        WNDCLASSEXW help{};
        help.cbSize = sizeof(help);
        help.lpfnWndProc = windowProc;
        help.hInstance = instance;
        help.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        help.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        help.lpszClassName = kHelpClass;
        if (!RegisterClassExW(&help)) return false;
    }
    if (!GetClassInfoExW(instance, kPictureClass, &existing)) {
        WNDCLASSEXW picture{};
        picture.cbSize = sizeof(picture);
        picture.lpfnWndProc = PictureProc;
        picture.hInstance = instance;
        picture.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        picture.lpszClassName = kPictureClass;
        if (!RegisterClassExW(&picture)) return false;
    }
    return true;
}

}  // namespace

// One window object: what its showings share (its design, its decoded
// pictures, the place the system gave it), and the on-screen window while it shows.
struct HelpWindows::Shown {
    HelpWindows* owner = nullptr;
    layout::HelpWindow which{};
    WindowStyles styles;
    bool placed = false;  // design holds the place
    RECT design{};        // the window's rectangle as designed, screen pixels
    std::vector<const layout::ControlLayout*> laidOutControls;
    std::vector<std::unique_ptr<Picture>> pictures;  // one per control, null for labels
    // The on-screen window of the showing under way.
    HWND window = nullptr;
    std::vector<HWND> items;
    bool open = false;
};

HelpWindows::HelpWindows(HINSTANCE instance, int dpi) : instance_(instance), dpi_(dpi), fonts_(dpi) {}

HelpWindows::~HelpWindows() {
    for (auto& shown : windows_)
        if (shown && shown->window) DestroyWindow(shown->window);
}

HWND HelpWindows::Window(layout::HelpWindow which) const {
    const auto& shown = windows_[static_cast<std::size_t>(which)];
    return shown ? shown->window : nullptr;
}

int HelpWindows::Creations(layout::HelpWindow which) const { return creations_[static_cast<std::size_t>(which)]; }

RECT HelpWindows::DesignRect(layout::HelpWindow which) const {
    const auto& shown = windows_[static_cast<std::size_t>(which)];
    return shown ? shown->design : RECT{};
}

const std::vector<HWND>& HelpWindows::Items(layout::HelpWindow which) const {
    static const std::vector<HWND> none;
    const auto& shown = windows_[static_cast<std::size_t>(which)];
    return shown ? shown->items : none;
}

const Picture* HelpWindows::PictureOf(HWND item) const {
    if (!item) return nullptr;
    for (const auto& shown : windows_) {
        if (!shown) continue;
        for (std::size_t i = 0; i < shown->items.size(); ++i)
            if (shown->items[i] == item) return shown->pictures[i].get();
    }
    return nullptr;
}

HelpWindows::Shown* HelpWindows::Create(layout::HelpWindow which) {
    auto& slot = windows_[static_cast<std::size_t>(which)];
    if (slot) return slot.get();
    if (!RegisterClasses(instance_, &HelpWindows::WindowProc)) {
        creationError_ = L"The help window class could not be registered.";
        return nullptr;
    }
    const layout::WindowLayout& laidOut = layout::Help(which);
    auto shown = std::make_unique<Shown>();
    shown->owner = this;
    shown->which = which;
    shown->styles = StylesOf(laidOut);
    if (laidOut.manualPlacement) {
        // The client area's top-left corner at the designed place on the screen.
        const SIZE client = ClientSize(laidOut, dpi_);
        const int left = layout::Pixels(laidOut.left, dpi_), top = layout::Pixels(laidOut.top, dpi_);
        shown->design = OuterRect(RECT{left, top, left + client.cx, top + client.cy}, shown->styles);
        shown->placed = true;
    }
    for (const layout::ControlLayout& control : laidOut.controls) {
        if (control.kind != Kind::PictureBox && control.kind != Kind::Image && control.kind != Kind::Label) continue;
        shown->laidOutControls.push_back(&control);
        shown->pictures.push_back(control.picture.empty() ? nullptr : LoadPicture(instance_, control.picture));
    }
    ++creations_[static_cast<std::size_t>(which)];
    slot = std::move(shown);
    return slot.get();
}

bool HelpWindows::Build(Shown& shown) {
    const layout::WindowLayout& laidOut = layout::Help(shown.which);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    const SIZE client = ClientSize(laidOut, dpi_);
    RECT outer = OuterRect(RECT{0, 0, client.cx, client.cy}, shown.styles);
    if (shown.placed) {
        outer = shown.design;
        x = outer.left;
        y = outer.top;
    }
    shown.window = CreateWindowExW(shown.styles.exStyle, kHelpClass, FromUtf8(laidOut.caption).c_str(),
                                   shown.styles.style, x, y, outer.right - outer.left, outer.bottom - outer.top,
                                   owner_, nullptr, instance_, &shown);
    if (!shown.window) {
        creationError_ = L"The window \"" + FromUtf8(laidOut.caption) + L"\" could not be created (error " +
                         std::to_wstring(GetLastError()) + L").";
        return false;
    }
    if (!shown.placed) {
        // A window the system places keeps the place it was given the first time.
        GetWindowRect(shown.window, &shown.design);
        shown.placed = true;
    }

    for (std::size_t i = 0; i < shown.laidOutControls.size(); ++i) {
        const layout::ControlLayout& control = *shown.laidOutControls[i];
        const RECT place = PixelRect(control, dpi_);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        const wchar_t* windowClass = kPictureClass;
        if (control.kind == Kind::PictureBox) {
            exStyle = WS_EX_CLIENTEDGE;  // the 2-pixel sunken border
        } else if (control.kind == Kind::Image) {
            style |= kStretch;
        } else {
            windowClass = L"STATIC";
            style |= SS_NOPREFIX | (control.align == layout::Align::Centre ? SS_CENTER
                                    : control.align == layout::Align::Right ? SS_RIGHT
                                                                            : SS_LEFT);
        }
        HWND item = CreateWindowExW(exStyle, windowClass, FromUtf8(control.text).c_str(), style, place.left,
                                    place.top, place.right - place.left, place.bottom - place.top, shown.window,
                                    nullptr, instance_, nullptr);
        if (!item) {
            creationError_ = L"The window \"" + FromUtf8(laidOut.caption) + L"\" could not be built (error " +
                             std::to_wstring(GetLastError()) + L").";
            DestroyWindow(shown.window);
            shown.window = nullptr;
            shown.items.clear();
            return false;
        }
        // Later controls lie in front of earlier ones (the probe names over the picture).
        SetWindowPos(item, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(control.font)), FALSE);
        if (shown.pictures[i]) SetWindowLongPtrW(item, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shown.pictures[i].get()));
        shown.items.push_back(item);
    }
    return true;
}

bool HelpWindows::Show(layout::HelpWindow which) {
    Shown* shown = Create(which);
    if (!shown) return false;
    // Each showing builds the window afresh from its design, so nothing of an
    // earlier one (a size, a place, a maximised state) carries over.
    if (!shown->window && !Build(*shown)) return false;

    const bool ownerEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerEnabled) EnableWindow(owner_, FALSE);
    ShowWindow(shown->window, SW_SHOWNORMAL);
    SetForegroundWindow(shown->window);

    shown->open = true;
    MSG message;
    while (shown->open) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the main loop gets its quit too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    shown->open = false;
    // The owner first, so that the system hands the activation back to it.
    if (ownerEnabled) EnableWindow(owner_, TRUE);
    HWND window = shown->window;
    shown->window = nullptr;
    shown->items.clear();
    DestroyWindow(window);
    if (owner_ && IsWindowVisible(owner_)) SetActiveWindow(owner_);
    return true;
}

LRESULT CALLBACK HelpWindows::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Shown*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* shown = reinterpret_cast<Shown*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!shown) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CLOSE:
        // The close box ends the showing; the window stays for the next one.
        shown->open = false;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    case WM_CTLCOLORSTATIC: {
        const LRESULT standard = DefWindowProcW(window, message, wParam, lParam);
        const auto item = reinterpret_cast<HWND>(lParam);
        for (std::size_t i = 0; i < shown->items.size() && i < shown->laidOutControls.size(); ++i) {
            if (shown->items[i] != item) continue;
            const layout::ControlLayout& laidOut = *shown->laidOutControls[i];
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (laidOut.foreColour != layout::Colour::Default) SetTextColor(dc, ColourOf(laidOut.foreColour, 0));
            if (laidOut.backColour == layout::Colour::Default) return standard;
            const COLORREF back = ColourOf(laidOut.backColour, 0);
            SetBkColor(dc, back);
            // The probe names lie on the title-bar text colour, white in the
            // classic schemes but black in some (Windows 10's, Wine's): the
            // text then takes whichever of black and white can be read on it.
            if (laidOut.foreColour == layout::Colour::Default) SetTextColor(dc, ReadableOn(back));
            const int system = SystemColourIndex(laidOut.backColour);
            return reinterpret_cast<LRESULT>(system >= 0 ? GetSysColorBrush(system)
                                                         : shown->owner->brushes_.Get(back));
        }
        return standard;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace win32
