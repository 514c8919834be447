#pragma once
// The program's main window with its editor, wired as the program runs it:
// the window is built from the layout, the editor is made over it, its events
// go to the editor, and Form_Load has run. The caller shows the window.
//
//   QtDialogs dialogs;
//   QtMainScreen program(dialogs);
//   program.window.show();

#include "editor/MainScreen.h"
#include "qt/MainWindow.h"
#include "qt/QtForm.h"

class QtDialogs;

class QtMainScreen {
public:
    // With the real dialogs: they belong to this window, and ending the program
    // lets the window close.
    explicit QtMainScreen(QtDialogs& dialogs);
    // With any other dialogs (a test's, the screenshots').
    explicit QtMainScreen(UserDialogs& dialogs);
    ~QtMainScreen();
    QtMainScreen(const QtMainScreen&) = delete;
    QtMainScreen& operator=(const QtMainScreen&) = delete;

    MainWindow window;
    QtForm form{window};
    MainScreen screen;

private:
    EditorEvents events_{screen};
};
