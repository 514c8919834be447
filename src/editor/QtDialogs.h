#pragma once
// The real dialogs: Qt's message boxes and file dialog, and the help windows.

#include <QPointer>
#include <QWidget>

#include "editor/UserDialogs.h"
#include "screens/HelpWindows.h"

class QtDialogs : public UserDialogs {
public:
    QtDialogs() = default;
    // The window the dialogs belong to (they are modal to it).
    void setOwner(QWidget* owner);

    Button showMessage(const Message& message) override;
    std::optional<QString> chooseProfile(const OpenRequest& request) override;
    void showHelp(HelpWindow window) override;
    void endProgram() override;

private:
    QPointer<QWidget> owner_;
    std::unique_ptr<HelpWindows> help_;
};
