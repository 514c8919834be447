#pragma once
// The editor's dialogs on Windows: message boxes (with "Save Anyway" and
// "Write Again" where the editor asks for them), the system's open dialog, the
// help windows, and ending the program.

#include <windows.h>

#include <functional>

#include "editor/UserDialogs.h"
#include "win32/HelpWindows.h"

namespace win32 {

class Win32Dialogs final : public UserDialogs {
public:
    Win32Dialogs(HINSTANCE instance, int dpi);

    // The main window: every dialog is modal over it.
    void SetOwner(HWND owner);
    // Runs when the editor ends the program, before the quit is posted.
    void OnEnd(std::function<void()> ending) { ending_ = std::move(ending); }
    bool Ended() const { return ended_; }
    HelpWindows& Help() { return help_; }

    Button showMessage(const Message& message) override;
    std::optional<std::filesystem::path> chooseProfile(const OpenRequest& request) override;
    void showHelp(HelpWindow window) override;
    void endProgram() override;

private:
    HWND owner_ = nullptr;
    HelpWindows help_;
    std::function<void()> ending_;
    bool ended_ = false;
};

// The button names a box of the system offers, and how the editor's buttons
// map onto them: MessageBoxW's type and what each of its answers means.
struct BoxButtons {
    UINT type = MB_OK;
    UserDialogs::Button onOk = UserDialogs::Button::Ok;  // IDOK, renamed for Save Anyway / Write Again
    const wchar_t* okCaption = nullptr;                 // the new name of the OK button, or none
};
BoxButtons BoxButtonsFor(const UserDialogs::Message& message);
UserDialogs::Button AnswerOf(int boxResult, const BoxButtons& buttons, UserDialogs::Button fallback);

}  // namespace win32
