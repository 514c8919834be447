// The Windows program: the main window with its editor, shown, and the message loop.
#include <windows.h>

#include "win32/Program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const win32::ProgramSetup setup;
    win32::Program program(instance);
    if (!program.Ready()) {
        const std::wstring text = program.Error() + L"\n\nThe program cannot start; no profile was touched.";
        MessageBoxW(nullptr, text.c_str(), L"Configure Ombrel Profile", MB_OK | MB_ICONERROR);
        return 1;
    }
    program.Start(showCommand);
    return program.Run();
}
