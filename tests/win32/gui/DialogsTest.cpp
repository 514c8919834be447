// The system's own boxes as the editor asks for them: MessageBoxW with the
// text, title, icon, buttons and default button of each question, Yes/No
// questions that Escape and the close box cannot answer, Cancel taken by
// Escape where there is one; and the open dialog GetOpenFileNameW.
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <system_error>

#include "GuiSupport.h"
#include "win32/Text.h"
#include "win32/Win32Dialogs.h"

namespace {

namespace fs = std::filesystem;
using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

// The main window the boxes are modal over, with the dialogs of the program.
struct Owner {
    Owner() : dialogs(GetModuleHandleW(nullptr), program.window.Dpi()) { dialogs.SetOwner(program.window.Handle()); }
    guitest::ScriptedProgram program;
    win32::Win32Dialogs dialogs;
};

// A box's buttons, in order, and its default one (the one Enter presses,
// drawn with the default frame): the system's own by their names here, as
// their captions are the system's language; a renamed OK by its caption.
std::vector<std::wstring> Buttons(HWND box, std::wstring& defaultButton) {
    std::vector<std::wstring> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Button") != 0 || !IsWindowVisible(child)) continue;
        std::wstring button;
        switch (GetDlgCtrlID(child)) {
        case IDYES: button = L"Yes"; break;
        case IDNO: button = L"No"; break;
        case IDCANCEL: button = L"Cancel"; break;
        case IDOK: button = guitest::TextOf(child) == L"OK" ? L"OK" : L"OK named " + guitest::TextOf(child); break;
        default: button = L"other: " + guitest::TextOf(child); break;
        }
        buttons.push_back(button);
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) defaultButton = button;
    }
    return buttons;
}

// The box's text: its static control that is no icon.
std::wstring BoxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON &&
            GetWindowTextLengthW(child) > 0)
            return guitest::TextOf(child);
    }
    return {};
}

bool HasIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageW(child, STM_GETICON, 0, 0))
            return true;
    return false;
}

struct Question {
    UserDialogs::Message message;
    std::vector<std::wstring> buttons;
    std::wstring defaultButton;
    bool escapeAnswers;  // Escape and the close box answer Cancel
    Button clicked;      // then the test presses this one
    int clickedId;
};

TEST(MessageBoxes, ShowTheEditorsQuestionWordForWordAndOnlyCancelTakesEscape) {
    const Question table[] = {
        {{"Do you wish to save profile first?", "Save first?", Icon::None, {Button::Yes, Button::No}, Button::Yes},
         {L"Yes", L"No"}, L"Yes", false, Button::No, IDNO},
        {{"Profile has been changed. Do you want chance to Save As before Opening a new one?", "OK to Open another?",
          Icon::Question, {Button::Yes, Button::No}, Button::Yes},
         {L"Yes", L"No"}, L"Yes", false, Button::Yes, IDYES},
        {{"The profile on disk was changed by another program since it was opened.", "Profile changed",
          Icon::Warning, {Button::SaveAnyway, Button::Cancel}, Button::Cancel},
         {L"OK named Save Anyway", L"Cancel"}, L"Cancel", true, Button::SaveAnyway, IDOK},
        {{"The profile is gone from its folder.", "Profile gone", Icon::Warning, {Button::WriteAgain, Button::Cancel},
          Button::Cancel},
         {L"OK named Write Again", L"Cancel"}, L"Cancel", true, Button::Cancel, IDCANCEL},
        {{"Port is not a valid Hex number. Not saved", "Error!", Icon::Warning, {Button::Ok}, Button::Ok},
         {L"OK"}, L"OK", true, Button::Ok, IDOK},
    };
    Owner owner;
    for (const Question& q : table) {
        SCOPED_TRACE(q.message.title);
        std::atomic<bool> stayedAfterEscape{false}, ownerDisabled{false};
        std::wstring text, title, defaultText;
        std::vector<std::wstring> buttons;
        bool icon = false;
        Button answer;
        {
            guitest::Meanwhile user([&] {
                HWND box = guitest::WaitForWindow(win32::FromUtf8(q.message.title));
                if (!box) return;
                Sleep(100);
                title = guitest::TextOf(box);
                text = BoxText(box);
                buttons = Buttons(box, defaultText);
                icon = HasIcon(box);
                ownerDisabled = !IsWindowEnabled(owner.program.window.Handle());
                if (!q.escapeAnswers) {
                    // Escape to the focused button, then the close box: neither answers.
                    HWND focused = GetDlgItem(box, IDYES);
                    PostMessageW(focused, WM_KEYDOWN, VK_ESCAPE, 1);
                    PostMessageW(focused, WM_KEYUP, VK_ESCAPE, 0xC0000001);
                    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                    PostMessageW(box, WM_CLOSE, 0, 0);
                    Sleep(400);
                    stayedAfterEscape = IsWindow(box) && IsWindowVisible(box);
                    PostMessageW(GetDlgItem(box, q.clickedId), BM_CLICK, 0, 0);
                } else if (q.clickedId == IDCANCEL) {
                    // Escape answers Cancel where there is one.
                    PostMessageW(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 1);
                } else {
                    PostMessageW(GetDlgItem(box, q.clickedId), BM_CLICK, 0, 0);
                }
                guitest::WaitGone(box);
            });
            answer = owner.dialogs.showMessage(q.message);
        }
        EXPECT_EQ(title, win32::FromUtf8(q.message.title));
        EXPECT_EQ(text, win32::FromUtf8(q.message.text));
        EXPECT_EQ(buttons, q.buttons);
        EXPECT_EQ(defaultText, q.defaultButton);
        EXPECT_EQ(icon, q.message.icon != Icon::None);
        EXPECT_TRUE(ownerDisabled) << "the box is not modal over the main window";
        if (!q.escapeAnswers) {
            EXPECT_TRUE(stayedAfterEscape) << "Escape or the close box answered a Yes/No question";
        }
        EXPECT_EQ(answer, q.clicked);
    }
}

TEST(OpenDialog, StartsInTheFolderAskedOffersOneTypeAndTellsCancelApart) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / (L"Ombrel open " + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder);
    const fs::path profile = folder / L"Mach3Mill.xml";
    std::ofstream(profile) << "<profile/>";

    Owner owner;
    const UserDialogs::OpenRequest request{"Open Profile", "Profiles ", "*.xml", folder};
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "a file chosen");
        std::wstring startedIn, typeText;
        std::optional<fs::path> chosen;
        {
            guitest::Meanwhile user([&] {
                HWND dialog = guitest::WaitForWindow(L"Open Profile");
                if (!dialog) return;
                Sleep(300);
                wchar_t path[MAX_PATH] = {};
                SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
                startedIn = path;
                HWND types = GetDlgItem(dialog, cmb1);
                typeText = guitest::TextOf(types);
                if (cancel) {
                    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                } else {
                    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(profile.c_str()));
                    SetDlgItemTextW(dialog, edt1, profile.c_str());
                    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                }
                guitest::WaitGone(dialog);
            });
            chosen = owner.dialogs.chooseProfile(request);
        }
        EXPECT_EQ(fs::path(startedIn), folder);
        EXPECT_EQ(typeText, L"Profiles ");
        if (cancel) {
            EXPECT_FALSE(chosen.has_value());
        } else {
            ASSERT_TRUE(chosen.has_value());
            EXPECT_EQ(*chosen, profile);
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
