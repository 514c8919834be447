#pragma once
// The whole program: the main window, the editor over it, the dialogs, and the
// message loop. The exe, the tests and the start-up benchmark run this same one.

#include <windows.h>

#include "editor/MainScreen.h"
#include "editor/UserEvents.h"
#include "win32/MainWindow.h"
#include "win32/Win32Dialogs.h"

namespace win32 {

// Sets up what every window of the program needs (common controls, OLE for
// the pictures and the open dialog) for this thread's lifetime.
class ProgramSetup {
public:
    ProgramSetup();
    ProgramSetup(const ProgramSetup&) = delete;
    ProgramSetup& operator=(const ProgramSetup&) = delete;
    ~ProgramSetup();

private:
    bool ole_ = false;
};

class Program {
public:
    explicit Program(HINSTANCE instance);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Ready() const { return window.Created(); }
    const std::wstring& Error() const { return window.CreationError(); }

    // The window's load, then the window shown.
    void Start(int showCommand);
    // Runs until the editor ends the program; its exit code.
    int Run();

    MainWindow window;
    Win32Dialogs dialogs;
    MainScreen editor;
    EditorEvents events;
};

// One message taken and handled as the program's loop does: the main
// window's own keys first. False when the quit message came.
bool HandleNextMessage(MainWindow& window, int& exitCode);

}  // namespace win32
