#include "editor/QtDialogs.h"

#include <QCoreApplication>

void QtDialogs::setOwner(QWidget* owner) {
    owner_ = owner;
    help_ = std::make_unique<HelpWindows>(owner);
}

UserDialogs::Button QtDialogs::showMessage(const Message& message) { return message.defaultButton; }
std::optional<QString> QtDialogs::chooseProfile(const OpenRequest&) { return std::nullopt; }
void QtDialogs::showHelp(HelpWindow window) {
    if (help_) help_->show(static_cast<HelpWindows::Window>(window));
}
void QtDialogs::endProgram() { QCoreApplication::quit(); }
