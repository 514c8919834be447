#pragma once
// The real dialogs behind the editor's seam: Qt's message boxes and file
// dialog, the help windows, and ending the program.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "editor/UserDialogs.h"
#include "qt/HelpWindows.h"

class QtDialogs final : public UserDialogs {
public:
    QtDialogs() = default;
    // The window the dialogs belong to (they are modal to it). `ending` runs
    // when the program is ended, before the window is hidden.
    void setOwner(QWidget* owner, std::function<void()> ending = {});

    Button showMessage(const Message& message) override;
    std::optional<std::filesystem::path> chooseProfile(const OpenRequest& request) override;
    void showHelp(HelpWindow window) override;
    void endProgram() override;

    // The help windows, once there is an owner.
    HelpWindows* helpWindows() const { return help_.get(); }

private:
    QPointer<QWidget> owner_;
    std::function<void()> ending_;
    std::unique_ptr<HelpWindows> help_;
};
