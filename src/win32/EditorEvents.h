#pragma once
// The main window's report of what the user did, handed to the editor.

#include "editor/MainScreen.h"
#include "win32/MainWindow.h"

namespace win32 {

class EditorEvents final : public UserEvents {
public:
    explicit EditorEvents(MainScreen& editor) : editor_(editor) {}
    void TextTyped(Control box) override { editor_.TextTyped(box); }
    void Clicked(Control control) override { editor_.Clicked(control); }
    void RowPicked(Control list) override { editor_.RowPicked(list); }
    void FocusLeft(Control control) override { editor_.FocusLeft(control); }
    void CloseRequested() override { editor_.CloseRequested(); }

private:
    MainScreen& editor_;
};

}  // namespace win32
