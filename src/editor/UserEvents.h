#pragma once
// What the user did in the main window, one call per event, as each front end
// reports it; EditorEvents hands every call to the editor. A front end reports
// only the user's own doing: what the editor sets is never reported back.

#include "editor/MainScreen.h"
#include "screens/Controls.h"

class UserEvents {
public:
    virtual ~UserEvents() = default;
    virtual void TextTyped(Control box) = 0;
    virtual void Clicked(Control control) = 0;
    virtual void RowPicked(Control list) = 0;
    virtual void FocusLeft(Control control) = 0;
    virtual void CloseRequested() = 0;
};

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
