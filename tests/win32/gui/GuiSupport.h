#pragma once
// What the tests of the Windows windows share: the main window built as the
// program builds it, over the editor with its dialogs answered from a script;
// message handling as the program's loop does it; the user's keys and mouse;
// and a helper that acts on a modal window from a second thread while the
// test's own thread waits inside it.

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "ScriptedDialogs.h"
#include "editor/MainScreen.h"
#include "editor/UserEvents.h"
#include "win32/MainWindow.h"

namespace guitest {

// Handles the messages that come within `ms` milliseconds as the program's
// loop does, the main window's own keys first when a window is given.
void Pump(int ms, win32::MainWindow* window = nullptr);
// The same until `done` says true or `ms` have passed; what `done` says last.
bool PumpUntil(const std::function<bool()>& done, int ms, win32::MainWindow* window = nullptr);

// A window's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND window);
std::wstring TextOf(HWND window);
// The font a window draws its text in.
LOGFONTW FontOf(HWND window);

// The user's doings, counted, then handed to the editor.
class CountingEvents final : public UserEvents {
public:
    explicit CountingEvents(MainScreen& editor) : events_(editor) {}
    void TextTyped(Control box) override;
    void Clicked(Control control) override;
    void RowPicked(Control list) override;
    void FocusLeft(Control control) override;
    void CloseRequested() override;
    std::array<int, kControlCount> typed{};
    int closes = 0;

private:
    EditorEvents events_;
};

// The main window over the editor, its dialogs answered from a script,
// loaded and shown as the program starts.
struct ScriptedProgram {
    ScriptedProgram();
    ScriptedProgram(const ScriptedProgram&) = delete;
    ScriptedProgram& operator=(const ScriptedProgram&) = delete;
    ~ScriptedProgram();
    HWND Item(Control control) const { return window.Item(control); }

    ScriptedDialogs dialogs;
    // Under Wine without a window manager, every window that leaves the
    // screen costs two seconds of waiting; so the window is not destroyed at
    // the end but disabled and put behind the others, and the test program's
    // end takes it.
    win32::MainWindow& window;
    MainScreen editor;
    CountingEvents events;
};

// Runs `act` on a second thread at once; joined when this ends.
class Meanwhile {
public:
    explicit Meanwhile(std::function<void()> act) : thread_(std::move(act)) {}
    Meanwhile(const Meanwhile&) = delete;
    Meanwhile& operator=(const Meanwhile&) = delete;
    ~Meanwhile() { thread_.join(); }

private:
    std::thread thread_;
};

// A shown top-level window of this process with this caption, waited for up
// to `ms`; nullptr when none came.
HWND WaitForWindow(const std::wstring& caption, int ms = 10000);
// True when the window is gone or hidden within `ms`.
bool WaitGone(HWND window, int ms = 10000);

// Keys as the user presses them, to the window that has the focus.
void PressKey(WORD key, bool shift = false);
// Characters typed into a window as the keyboard's WM_CHAR messages.
void TypeInto(HWND window, const std::wstring& text);
// The mouse moved to a point of the screen.
void MoveMouse(POINT screen);

// A path of the machine running Wine as the Windows program sees it (Z:\...).
std::filesystem::path HostPath(const std::string& path);

}  // namespace guitest
