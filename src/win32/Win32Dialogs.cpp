#include "win32/Win32Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32/Text.h"

namespace win32 {
namespace {

using Button = UserDialogs::Button;

bool Has(const std::vector<Button>& buttons, Button button) {
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

// What the next message box needs beyond what MessageBoxW offers: a new name
// for its OK button (the system's boxes know no "Save Anyway"), and, for a
// question with Yes and No only, no answer by Escape or the close box. Both are
// set up by a hook on the box's activation.
struct BoxExtras {
    const wchar_t* okCaption = nullptr;
    bool answerNeeded = false;
    HHOOK hook = nullptr;
};
BoxExtras g_box;
constexpr wchar_t kBoxProcProperty[] = L"OmbrelConfigBoxProc";

// A Yes/No box: Escape and the close box send IDCANCEL or SC_CLOSE; the
// system's own boxes drop them, and so does this, wherever the box comes from.
LRESULT CALLBACK NeedsAnAnswer(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(box, kBoxProcProperty));
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) return 0;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
        break;
    case WM_CLOSE:
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(box, kBoxProcProperty);
        break;
    default:
        break;
    }
    return CallWindowProcW(original, box, message, wParam, lParam);
}

LRESULT CALLBACK OnBoxActivation(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_box.hook;
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        if (g_box.okCaption)
            if (HWND ok = GetDlgItem(box, IDOK)) SetWindowTextW(ok, g_box.okCaption);
        if (g_box.answerNeeded) {
            if (HMENU menu = GetSystemMenu(box, FALSE)) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
            const LONG_PTR original = GetWindowLongPtrW(box, GWLP_WNDPROC);
            SetPropW(box, kBoxProcProperty, reinterpret_cast<HANDLE>(original));
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NeedsAnAnswer));
        }
        g_box = BoxExtras{};
        UnhookWindowsHookEx(hook);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

std::wstring ErrorCode(DWORD code) {
    wchar_t text[16];
    wsprintfW(text, L"0x%04lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace

BoxButtons BoxButtonsFor(const UserDialogs::Message& message) {
    BoxButtons box;
    const auto& buttons = message.buttons;
    const bool first = !buttons.empty() && message.defaultButton == buttons.front();
    if (Has(buttons, Button::Yes) && Has(buttons, Button::No)) {
        box.type = Has(buttons, Button::Cancel) ? MB_YESNOCANCEL : MB_YESNO;
        if (message.defaultButton == Button::No) box.type |= MB_DEFBUTTON2;
        if (message.defaultButton == Button::Cancel) box.type |= MB_DEFBUTTON3;
    } else if (Has(buttons, Button::Cancel)) {
        box.type = MB_OKCANCEL | (first ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
        if (Has(buttons, Button::SaveAnyway)) {
            box.onOk = Button::SaveAnyway;
            box.okCaption = L"Save Anyway";
        } else if (Has(buttons, Button::WriteAgain)) {
            box.onOk = Button::WriteAgain;
            box.okCaption = L"Write Again";
        }
    }
    switch (message.icon) {
    case UserDialogs::Icon::Warning: box.type |= MB_ICONWARNING; break;
    case UserDialogs::Icon::Question: box.type |= MB_ICONQUESTION; break;
    case UserDialogs::Icon::Critical: box.type |= MB_ICONERROR; break;
    case UserDialogs::Icon::None: break;
    }
    return box;
}

UserDialogs::Button AnswerOf(int boxResult, const BoxButtons& buttons, UserDialogs::Button fallback) {
    switch (boxResult) {
    case IDOK: return buttons.onOk;
    case IDYES: return Button::Yes;
    case IDNO: return Button::No;
    case IDCANCEL: return Button::Cancel;
    default: return fallback;
    }
}

Win32Dialogs::Win32Dialogs(HINSTANCE instance, int dpi) : help_(instance, dpi) {}

void Win32Dialogs::SetOwner(HWND owner) {
    owner_ = owner;
    help_.SetOwner(owner);
}

UserDialogs::Button Win32Dialogs::showMessage(const Message& message) {
    const BoxButtons box = BoxButtonsFor(message);
    g_box = BoxExtras{};
    g_box.okCaption = box.okCaption;
    g_box.answerNeeded = (box.type & MB_TYPEMASK) == MB_YESNO;
    if (g_box.okCaption || g_box.answerNeeded)
        g_box.hook = SetWindowsHookExW(WH_CBT, OnBoxActivation, nullptr, GetCurrentThreadId());
    const int result = MessageBoxW(owner_, FromUtf8(message.text).c_str(), FromUtf8(message.title).c_str(),
                                   box.type | MB_SETFOREGROUND);
    if (g_box.hook) UnhookWindowsHookEx(g_box.hook);
    g_box = BoxExtras{};
    // A box that could not be shown answers with what the editor offers by default.
    return AnswerOf(result, box, message.defaultButton);
}

std::optional<std::filesystem::path> Win32Dialogs::chooseProfile(const OpenRequest& request) {
    // One file type: "<name>\0<pattern>\0\0".
    std::wstring filter = FromUtf8(request.typeName);
    filter.push_back(L'\0');
    filter += FromUtf8(request.pattern);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring title = FromUtf8(request.title);
    const std::wstring folder = request.initialFolder.wstring();
    std::vector<wchar_t> file(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;  // 4100
    if (GetOpenFileNameW(&dialog)) return std::filesystem::path(std::wstring(file.data()));

    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
        std::wstring text = L"The dialog for choosing a profile could not be shown";
        if (error == FNERR_BUFFERTOOSMALL) text = L"The chosen file's name is too long to be used";
        text += L" (dialog error " + ErrorCode(error) +
                L").\n\nNo profile was opened; what was open before stays open.";
        MessageBoxW(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    }
    return std::nullopt;
}

void Win32Dialogs::showHelp(HelpWindow window) {
    if (help_.Show(window)) return;
    const std::wstring text = help_.CreationError() + L"\n\nNothing in the profile was changed.";
    MessageBoxW(owner_, text.c_str(), FromUtf8(layout::Help(window).caption).c_str(), MB_OK | MB_ICONWARNING);
}

void Win32Dialogs::endProgram() {
    if (ended_) return;
    ended_ = true;
    if (ending_) ending_();
    PostQuitMessage(0);
}

}  // namespace win32
