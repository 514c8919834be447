#include "win32/Program.h"

#include <commctrl.h>
#include <ole2.h>

namespace win32 {

ProgramSetup::ProgramSetup() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    ole_ = SUCCEEDED(OleInitialize(nullptr));
}

ProgramSetup::~ProgramSetup() {
    if (ole_) OleUninitialize();
}

Program::Program(HINSTANCE instance)
    : window(instance), dialogs(instance, window.Dpi()), editor(window, dialogs), events(editor) {
    window.SetEvents(&events);
    dialogs.SetOwner(window.Handle());
    dialogs.OnEnd([this] {
        // Nothing the closing window does reaches the editor any more; the
        // window goes with the program, at once.
        window.StopEvents();
    });
}

void Program::Start(int showCommand) {
    editor.Form_Load();
    window.Show(showCommand);
}

bool HandleNextMessage(MainWindow& window, int& exitCode) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
        exitCode = static_cast<int>(message.wParam);
        return false;
    }
    if (got == -1) {
        exitCode = 1;
        return false;
    }
    if (!window.PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

int Program::Run() {
    int exitCode = 0;
    while (HandleNextMessage(window, exitCode)) {
    }
    return exitCode;
}

}  // namespace win32
