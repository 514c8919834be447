#include "win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/Resources.h"
#include "win32/Text.h"

namespace win32 {
namespace {

using layout::Kind;

constexpr wchar_t kWindowClass[] = L"OmbrelConfigMainWindow";
constexpr wchar_t kFrameClass[] = L"OmbrelConfigFrame";

constexpr int kFirstId = 1000;

// Posted to the window: a control lost the focus to another one of ours
// (wParam: the control). Reported once the focus change is over, so that a
// message box shown by the handler does not run inside it.
constexpr UINT kFocusLeftMessage = WM_APP + 1;
// Posted to the window: the user's action on a list has been handled; the
// next notification of that list belongs to a new action (wParam: the list).
constexpr UINT kPickOverMessage = WM_APP + 2;

// The frame window keeps its caption's font and colour in its extra bytes.
constexpr int kFrameFontSlot = 0;
constexpr int kFrameColourSlot = static_cast<int>(sizeof(LONG_PTR));

std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

bool Focusable(Kind kind) { return kind == Kind::TextBox || kind == Kind::Button || kind == Kind::ComboBox; }

// A panel: its caption over an etched frame, drawn as a group box is. Its
// controls are its children, so disabling it takes their input away; it hands
// their notifications on to the main window.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return SendMessageW(GetAncestor(frame, GA_ROOT), message, wParam, lParam);
    case WM_SETFONT:
        SetWindowLongPtrW(frame, kFrameFontSlot, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) InvalidateRect(frame, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(frame, kFrameFontSlot);
    case WM_ENABLE:
        InvalidateRect(frame, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(frame, &paint);
        RECT client;
        GetClientRect(frame, &client);
        const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(frame, kFrameFontSlot));
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);

        RECT box = client;
        box.top += metrics.tmHeight / 2;
        DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);

        wchar_t caption[256] = {};
        const int length = GetWindowTextW(frame, caption, 256);
        if (length > 0) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption, length, &extent);
            const int margin = MulDiv(6, metrics.tmHeight, 13);
            const int padding = MulDiv(2, metrics.tmHeight, 13);
            RECT under{margin, 0, margin + extent.cx + 2 * padding, metrics.tmHeight};
            const auto colour = static_cast<COLORREF>(GetWindowLongPtrW(frame, kFrameColourSlot));
            SetTextColor(dc, IsWindowEnabled(frame) ? colour : GetSysColor(COLOR_GRAYTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            ExtTextOutW(dc, margin + padding, 0, ETO_OPAQUE | ETO_CLIPPED, &under, caption,
                        static_cast<UINT>(length), nullptr);
        }
        if (oldFont) SelectObject(dc, oldFont);
        EndPaint(frame, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, kWindowClass, &existing)) {
        WNDCLASSEXW main{};
        main.cbSize = sizeof(main);
        main.lpfnWndProc = windowProc;
        main.hInstance = instance;
        main.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        main.lpszClassName = kWindowClass;
        main.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        if (!RegisterClassExW(&main)) return false;
    }
    if (!GetClassInfoExW(instance, kFrameClass, &existing)) {
        WNDCLASSEXW frame{};
        frame.cbSize = sizeof(frame);
        frame.lpfnWndProc = FrameProc;
        frame.cbWndExtra = 2 * static_cast<int>(sizeof(LONG_PTR));
        frame.hInstance = instance;
        frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = kFrameClass;
        if (!RegisterClassExW(&frame)) return false;
    }
    return true;
}

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

// Quiet while a text is put from code: the edit's own change notice is not the user's.
class Quiet {
public:
    explicit Quiet(int& counter) : counter_(counter) { ++counter_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
    ~Quiet() { --counter_; }

private:
    int& counter_;
};

}  // namespace

struct MainWindow::Hooked {
    MainWindow* owner;
    Control control;
    WNDPROC original;
};

MainWindow::MainWindow(HINSTANCE instance) : dpi_(ScreenDpi()), fonts_(dpi_) {
    frameOf_.fill(Control::None);
    if (!Build(instance) && window_) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

MainWindow::~MainWindow() {
    events_ = nullptr;
    if (window_) DestroyWindow(window_);
}

bool MainWindow::Build(HINSTANCE instance) {
    if (!RegisterClasses(instance, &MainWindow::WindowProc)) {
        creationError_ = L"The window class could not be registered: " + SystemMessage(GetLastError());
        return false;
    }
    const layout::WindowLayout& laidOut = layout::MainWindow();
    const WindowStyles styles = StylesOf(laidOut);
    const SIZE client = ClientSize(laidOut, dpi_);
    const RECT outer = OuterRect(RECT{0, 0, client.cx, client.cy}, styles);
    window_ = CreateWindowExW(styles.exStyle, kWindowClass, FromUtf8(laidOut.caption).c_str(), styles.style,
                              CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                              nullptr, nullptr, instance, this);
    if (!window_) {
        creationError_ = L"The main window could not be created: " + SystemMessage(GetLastError());
        return false;
    }
    if (laidOut.programIcon) {
        const auto icon = [instance](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                       GetSystemMetrics(size), GetSystemMetrics(size), 0));
        };
        SendMessageW(window_, WM_SETICON, ICON_BIG, icon(SM_CXICON));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, icon(SM_CXSMICON));
    }

    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                instance, nullptr);

    for (const layout::ControlLayout& control : laidOut.controls) {
        if (control.kind == Kind::FileDialog || control.id == Control::None) continue;
        ownEnabled_[Index(control.id)] = control.enabled;
        if (!CreateControl(control, instance)) {
            creationError_ = L"The control " + FromUtf8(control.name) + L" could not be created: " +
                             SystemMessage(GetLastError());
            return false;
        }
    }

    for (const layout::ControlLayout& control : laidOut.controls)
        if (control.id != Control::None && Focusable(control.kind)) tabOrder_.push_back(control.id);
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(),
                     [](Control a, Control b) { return layout::MainControl(a).tab < layout::MainControl(b).tab; });
    return true;
}

HWND MainWindow::CreateControl(const layout::ControlLayout& laidOut, HINSTANCE instance) {
    const Control id = laidOut.id;
    HWND parent = window_;
    if (!laidOut.container.empty()) {
        if (const layout::ControlLayout* frame = layout::FindMainControl(laidOut.container)) {
            frameOf_[Index(id)] = frame->id;
            parent = items_[Index(frame->id)];
        }
    }

    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (laidOut.visible) style |= WS_VISIBLE;
    if (!laidOut.enabled) style |= WS_DISABLED;
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    RECT place = PixelRect(laidOut, dpi_);
    int height = place.bottom - place.top;
    switch (laidOut.kind) {
    case Kind::Label:
        style |= SS_NOTIFY | SS_NOPREFIX;
        style |= laidOut.align == layout::Align::Right ? SS_RIGHT : laidOut.align == layout::Align::Centre ? SS_CENTER : SS_LEFT;
        break;
    case Kind::TextBox:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        if (laidOut.align == layout::Align::Right) style |= ES_RIGHT;
        if (laidOut.align == layout::Align::Centre) style |= ES_CENTER;
        if (laidOut.readOnly) style |= ES_READONLY;
        if (laidOut.border) exStyle |= WS_EX_CLIENTEDGE;
        break;
    case Kind::Button:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
        break;
    case Kind::ComboBox:
        windowClass = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        // The height given is that of the dropped list's room; the closed list
        // is set to its layout height below.
        height += MulDiv(200, dpi_, 96);
        break;
    case Kind::Frame:
        windowClass = kFrameClass;
        style |= WS_CLIPCHILDREN;
        break;
    case Kind::FileDialog:
    case Kind::PictureBox:
    case Kind::Image:
        return nullptr;
    }

    HWND handle = CreateWindowExW(exStyle, windowClass, FromUtf8(laidOut.text).c_str(), style, place.left, place.top,
                                  place.right - place.left, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + static_cast<int>(id))),
                                  instance, nullptr);
    if (!handle) return nullptr;
    items_[Index(id)] = handle;
    // Later controls lie in front of earlier ones where they overlap.
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(laidOut.font)), FALSE);

    if (laidOut.kind == Kind::Frame)
        SetWindowLongPtrW(handle, kFrameColourSlot,
                          static_cast<LONG_PTR>(ColourOf(laidOut.foreColour, GetSysColor(COLOR_WINDOWTEXT))));

    if (laidOut.kind == Kind::ComboBox) {
        // The closed list's height: the text part grows with the height asked
        // for it, the frame around it stays. What the list reports back is not
        // always what it was given (Wine adds its padding), so the height asked
        // is corrected by what the list turned out to be.
        const int wanted = place.bottom - place.top;
        auto field = static_cast<int>(SendMessageW(handle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
        for (int attempt = 0; attempt < 4; ++attempt) {
            RECT now;
            GetWindowRect(handle, &now);
            const int difference = wanted - (now.bottom - now.top);
            if (difference == 0 || field + difference < 1) break;
            field += difference;
            SendMessageW(handle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        }
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(handle, &info) && info.hwndItem) listEdits_[Index(id)] = info.hwndItem;
        // The text part shows the list's initial text (a list takes none from its creation).
        if (!laidOut.text.empty()) PutWindowText(id, FromUtf8(laidOut.text));
    }

    // Focus changes are followed on the window that takes the focus.
    if (laidOut.kind == Kind::TextBox || laidOut.kind == Kind::Button) Subclass(handle, id);
    if (laidOut.kind == Kind::ComboBox && listEdits_[Index(id)]) Subclass(listEdits_[Index(id)], id);

    if (!laidOut.tooltip.empty()) {
        const std::wstring tip = FromUtf8(laidOut.tooltip);
        AddTooltip(handle, tip);
        if (listEdits_[Index(id)]) AddTooltip(listEdits_[Index(id)], tip);
    }
    return handle;
}

void MainWindow::Subclass(HWND handle, Control control) {
    auto hooked = std::make_unique<Hooked>(Hooked{this, control, nullptr});
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hooked.get()));
    hooked->original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ControlProc)));
    hooked_.push_back(std::move(hooked));
}

void MainWindow::AddTooltip(HWND tool, const std::wstring& text) {
    if (!tooltips_) return;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* hooked = reinterpret_cast<Hooked*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (message == WM_KILLFOCUS) hooked->owner->FocusLost(hooked->control, reinterpret_cast<HWND>(wParam));
    if (message == WM_SETFOCUS) hooked->owner->lastFocus_ = control;
    return CallWindowProcW(hooked->original, control, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const LRESULT standard = DefWindowProcW(window_, message, wParam, lParam);
        const Control control = ControlOf(reinterpret_cast<HWND>(lParam));
        if (control == Control::None) return standard;
        const layout::ControlLayout& laidOut = layout::MainControl(control);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (laidOut.foreColour != layout::Colour::Default) SetTextColor(dc, ColourOf(laidOut.foreColour, 0));
        if (laidOut.backColour == layout::Colour::Default) return standard;
        const COLORREF back = ColourOf(laidOut.backColour, 0);
        SetBkColor(dc, back);
        const int system = SystemColourIndex(laidOut.backColour);
        return reinterpret_cast<LRESULT>(system >= 0 ? GetSysColorBrush(system) : brushes_.Get(back));
    }
    case kFocusLeftMessage:
        if (events_ && wParam < kControlCount) events_->FocusLeft(static_cast<Control>(wParam));
        return 0;
    case kPickOverMessage:
        if (wParam < kControlCount) picked_[wParam] = false;
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            RestoreFocus();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_CLOSE:
        // The editor decides: it asks what it must and ends the program itself.
        if (events_) events_->CloseRequested();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::Command(HWND from, WORD code) {
    const Control control = ControlOf(from);
    if (control == Control::None || items_[Index(control)] != from) return;
    const std::size_t i = Index(control);
    switch (layout::MainControl(control).kind) {
    case Kind::TextBox:
        if (code == EN_CHANGE && quiet_ == 0 && events_) events_->TextTyped(control);
        break;
    case Kind::Button:
        if (code == BN_CLICKED && events_) events_->Clicked(control);
        break;
    case Kind::Label:
        if (code == STN_CLICKED && events_) events_->Clicked(control);
        break;
    case Kind::ComboBox: {
        // One report per pick, also of the row already chosen. Moving through
        // the open list is no pick yet; opening and closing it without
        // choosing is none at all.
        bool pick = false;
        switch (code) {
        case CBN_DROPDOWN:
            listOpen_[i] = true;
            rowAtOpen_[i] = ListIndex(control);
            break;
        case CBN_CLOSEUP:
            listOpen_[i] = false;
            break;
        case CBN_SELENDOK: {
            const int row = ListIndex(control);
            RECT list{};
            SendMessageW(from, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
            const DWORD at = GetMessagePos();
            const POINT pointer{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
            RECT field{};
            GetWindowRect(from, &field);
            list.top = field.bottom;  // the dropped part only
            const bool inList = PtInRect(&list, pointer) != FALSE;
            const bool enter = GetKeyState(VK_RETURN) < 0;
            pick = row >= 0 && (row != rowAtOpen_[i] || inList || enter);
            break;
        }
        case CBN_SELCHANGE:
            // Arrow keys on the closed list choose at once.
            pick = !listOpen_[i];
            break;
        default:
            break;
        }
        if (pick && !picked_[i]) {
            picked_[i] = true;
            PostMessageW(window_, kPickOverMessage, i, 0);
            if (events_) events_->RowPicked(control);
        }
        break;
    }
    case Kind::Frame:
    case Kind::FileDialog:
    case Kind::PictureBox:
    case Kind::Image:
        break;
    }
}

void MainWindow::FocusLost(Control control, HWND to) {
    // Only a move to another control of this window: switching to another
    // program (to is none) or a dialog taking the focus is no such move.
    const Control gained = ControlOf(to);
    if (gained == Control::None || gained == control) return;
    PostMessageW(window_, kFocusLeftMessage, Index(control), 0);
}

void MainWindow::RestoreFocus() {
    if (lastFocus_) {
        const Control last = ControlOf(lastFocus_);
        if (last != Control::None && CanFocus(last)) {
            ::SetFocus(lastFocus_);
            return;
        }
    }
    for (Control control : tabOrder_) {
        if (CanFocus(control)) {
            ::SetFocus(items_[Index(control)]);
            return;
        }
    }
}

void MainWindow::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (GetActiveWindow() == window_) RestoreFocus();
}

bool MainWindow::IsOurs(HWND handle) const { return handle && (handle == window_ || IsChild(window_, handle)); }

bool MainWindow::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || !IsOurs(message.hwnd) || !IsWindowEnabled(window_)) return false;
    const Control control = ControlOf(message.hwnd);
    const Kind kind = control == Control::None ? Kind::Frame : layout::MainControl(control).kind;
    switch (message.wParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
        MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        return true;
    case VK_RETURN:
        // Enter presses the button that has the focus; in a text box it does
        // nothing (and does not beep). An open list takes it for its row.
        if (kind == Kind::Button) {
            if (events_) events_->Clicked(control);
            return true;
        }
        return kind == Kind::TextBox;
    case VK_ESCAPE:
        return kind == Kind::TextBox;
    default:
        return false;
    }
}

void MainWindow::MoveFocus(int direction) {
    const auto count = static_cast<int>(tabOrder_.size());
    if (count == 0) return;
    const Control current = Focused();
    int position = -1;
    for (int i = 0; i < count; ++i)
        if (tabOrder_[static_cast<std::size_t>(i)] == current) position = i;
    if (position < 0) position = direction > 0 ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int next = ((position + direction * step) % count + count) % count;
        const Control candidate = tabOrder_[static_cast<std::size_t>(next)];
        if (candidate == current) return;
        if (!CanFocus(candidate)) continue;
        ::SetFocus(items_[Index(candidate)]);
        // A text box reached with Tab has its text selected, ready to be typed over.
        if (layout::MainControl(candidate).kind == Kind::TextBox)
            SendMessageW(items_[Index(candidate)], EM_SETSEL, 0, -1);
        return;
    }
}

HWND MainWindow::Item(Control control) const {
    return Index(control) < items_.size() ? items_[Index(control)] : nullptr;
}

Control MainWindow::ControlOf(HWND handle) const {
    if (!handle) return Control::None;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == handle || listEdits_[i] == handle) return static_cast<Control>(i);
    return Control::None;
}

std::wstring MainWindow::WindowText(Control control) const {
    HWND handle = Item(control);
    if (!handle) return {};
    const int length = GetWindowTextLengthW(handle);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void MainWindow::PutWindowText(Control control, const std::wstring& text) {
    HWND handle = Item(control);
    if (!handle) return;
    const Quiet quiet(quiet_);
    SetWindowTextW(handle, text.c_str());
}

std::string MainWindow::Text(Control control) const { return ToAnsi(WindowText(control)).bytes; }

bool MainWindow::TextFitsBytes(Control control) const { return ToAnsi(WindowText(control)).fits; }

std::string MainWindow::TextAsUtf8(Control control) const { return ToUtf8(WindowText(control)); }

void MainWindow::PutText(Control control, std::string_view bytes) { PutWindowText(control, FromAnsi(bytes)); }

void MainWindow::PutPath(Control control, const std::filesystem::path& path) {
    PutWindowText(control, path.wstring());
}

std::string MainWindow::BytesAsUtf8(std::string_view bytes) const { return ToUtf8(FromAnsi(bytes)); }

bool MainWindow::Enabled(Control control) const {
    return Index(control) < ownEnabled_.size() && ownEnabled_[Index(control)];
}

void MainWindow::ApplyEnabled(Control control) {
    HWND handle = Item(control);
    if (!handle) return;
    const Control frame = frameOf_[Index(control)];
    // A control in a disabled panel is greyed and takes no input, whatever its
    // own setting, which it keeps for when the panel is enabled again.
    const bool effective = ownEnabled_[Index(control)] && (frame == Control::None || ownEnabled_[Index(frame)]);
    EnableWindow(handle, effective ? TRUE : FALSE);
}

void MainWindow::SetEnabled(Control control, bool enabled) {
    if (!Item(control)) return;
    ownEnabled_[Index(control)] = enabled;
    ApplyEnabled(control);
    if (layout::MainControl(control).kind == Kind::Frame) {
        for (std::size_t i = 0; i < frameOf_.size(); ++i)
            if (frameOf_[i] == control) ApplyEnabled(static_cast<Control>(i));
    }
}

bool MainWindow::Visible(Control control) const {
    HWND handle = Item(control);
    return handle && (GetWindowLongW(handle, GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainWindow::SetVisible(Control control, bool visible) {
    if (HWND handle = Item(control)) ShowWindow(handle, visible ? SW_SHOWNA : SW_HIDE);
}

bool MainWindow::ReadOnly(Control control) const {
    HWND handle = Item(control);
    return handle && layout::MainControl(control).kind == Kind::TextBox &&
           (GetWindowLongW(handle, GWL_STYLE) & ES_READONLY) != 0;
}

void MainWindow::SetReadOnly(Control control, bool readOnly) {
    HWND handle = Item(control);
    if (handle && layout::MainControl(control).kind == Kind::TextBox)
        SendMessageW(handle, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

std::string MainWindow::Tag(Control control) const {
    if (Index(control) >= static_cast<std::size_t>(kControlCount)) return {};
    return std::string(layout::MainControl(control).tag);
}

void MainWindow::AddRow(Control list, std::string_view utf8) {
    HWND handle = Item(list);
    if (!handle || layout::MainControl(list).kind != Kind::ComboBox) return;
    const std::wstring row = FromUtf8(utf8);
    SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

int MainWindow::RowCount(Control list) const {
    HWND handle = Item(list);
    if (!handle || layout::MainControl(list).kind != Kind::ComboBox) return 0;
    return std::max(0, static_cast<int>(SendMessageW(handle, CB_GETCOUNT, 0, 0)));
}

int MainWindow::ListIndex(Control list) const {
    HWND handle = Item(list);
    if (!handle || layout::MainControl(list).kind != Kind::ComboBox) return -1;
    const auto row = static_cast<int>(SendMessageW(handle, CB_GETCURSEL, 0, 0));
    return row < 0 ? -1 : row;
}

void MainWindow::PutListIndex(Control list, int index) {
    HWND handle = Item(list);
    if (!handle || layout::MainControl(list).kind != Kind::ComboBox) return;
    const Quiet quiet(quiet_);
    const int row = index >= 0 && index < RowCount(list) ? index : -1;
    SendMessageW(handle, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

bool MainWindow::CanFocus(Control control) const {
    if (!Item(control) || !Focusable(layout::MainControl(control).kind)) return false;
    if (!Enabled(control) || !Visible(control)) return false;
    const Control frame = frameOf_[Index(control)];
    return frame == Control::None || (Enabled(frame) && Visible(frame));
}

void MainWindow::SetFocus(Control control) {
    if (CanFocus(control)) ::SetFocus(items_[Index(control)]);
}

Control MainWindow::Focused() const { return ControlOf(GetFocus()); }

}  // namespace win32
