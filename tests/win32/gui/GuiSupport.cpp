#include "GuiSupport.h"

#include <chrono>

namespace guitest {

void Pump(int ms, win32::MainWindow* window) {
    PumpUntil([] { return false; }, ms, window);
}

bool PumpUntil(const std::function<bool()>& done, int ms, win32::MainWindow* window) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (window && window->PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        const auto now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, end - now), QS_ALLINPUT);
    }
}

RECT PlaceInParent(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (handle) GetObjectW(handle, sizeof(font), &font);
    return font;
}

void CountingEvents::TextTyped(Control box) {
    ++typed[static_cast<std::size_t>(box)];
    events_.TextTyped(box);
}
void CountingEvents::Clicked(Control control) { events_.Clicked(control); }
void CountingEvents::RowPicked(Control list) { events_.RowPicked(list); }
void CountingEvents::FocusLeft(Control control) { events_.FocusLeft(control); }
void CountingEvents::CloseRequested() {
    ++closes;
    events_.CloseRequested();
}

ScriptedProgram::ScriptedProgram()
    : window(*new win32::MainWindow(GetModuleHandleW(nullptr))), editor(window, dialogs), events(editor) {
    window.SetEvents(&events);
    editor.Form_Load();
    window.Show(SW_SHOWNORMAL);
    SetForegroundWindow(window.Handle());
    Pump(100, &window);
}

ScriptedProgram::~ScriptedProgram() {
    window.StopEvents();
    EnableWindow(window.Handle(), FALSE);
    SetWindowPos(window.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND WaitForWindow(const std::wstring& caption, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        HWND found = FindWindowW(nullptr, caption.c_str());
        DWORD process = 0;
        if (found) GetWindowThreadProcessId(found, &process);
        if (found && process == GetCurrentProcessId() && IsWindowVisible(found)) return found;
        Sleep(20);
    }
    return nullptr;
}

bool WaitGone(HWND window, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
        Sleep(20);
    }
    return false;
}

namespace {
INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}
}  // namespace

void PressKey(WORD key, bool shift) {
    INPUT inputs[4];
    UINT count = 0;
    if (shift) inputs[count++] = Key(VK_SHIFT, false);
    inputs[count++] = Key(key, false);
    inputs[count++] = Key(key, true);
    if (shift) inputs[count++] = Key(VK_SHIFT, true);
    SendInput(count, inputs, sizeof(INPUT));
}

void TypeInto(HWND window, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 1);
}

void MoveMouse(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

std::filesystem::path HostPath(const std::string& path) {
    if (path.empty() || path.front() != '/') return std::filesystem::path(path);
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return std::filesystem::path(windows);
}

}  // namespace guitest
