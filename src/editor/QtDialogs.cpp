#include "editor/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <map>

void QtDialogs::setOwner(QWidget* owner) {
    owner_ = owner;
    help_ = std::make_unique<HelpWindows>(owner);
}

namespace {

QMessageBox::Icon boxIcon(UserDialogs::Icon icon) {
    switch (icon) {
    case UserDialogs::Icon::Warning: return QMessageBox::Warning;
    case UserDialogs::Icon::Question: return QMessageBox::Question;
    case UserDialogs::Icon::Critical: return QMessageBox::Critical;
    case UserDialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QAbstractButton* addButton(QMessageBox& box, UserDialogs::Button button) {
    using B = UserDialogs::Button;
    switch (button) {
    case B::Ok: return box.addButton(QMessageBox::Ok);
    case B::Yes: return box.addButton(QMessageBox::Yes);
    case B::No: return box.addButton(QMessageBox::No);
    case B::Cancel: return box.addButton(QMessageBox::Cancel);
    case B::SaveAnyway: return box.addButton(QObject::tr("Save Anyway"), QMessageBox::AcceptRole);
    case B::WriteAgain: return box.addButton(QObject::tr("Write Again"), QMessageBox::AcceptRole);
    }
    return nullptr;
}

}  // namespace

UserDialogs::Button QtDialogs::showMessage(const Message& message) {
    QMessageBox box(owner_);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(boxIcon(message.icon));

    std::map<QAbstractButton*, Button> answers;
    for (const Button button : message.buttons) {
        QAbstractButton* shown = addButton(box, button);
        answers[shown] = button;
        if (button == message.defaultButton) box.setDefaultButton(qobject_cast<QPushButton*>(shown));
    }
    // Escape answers like the box's way out: Cancel, else No, else the only button.
    for (const Button way_out : {Button::Cancel, Button::No, Button::Ok}) {
        const auto found = std::find_if(answers.begin(), answers.end(),
                                        [way_out](const auto& entry) { return entry.second == way_out; });
        if (found != answers.end()) {
            box.setEscapeButton(found->first);
            break;
        }
    }

    box.exec();
    const auto chosen = answers.find(box.clickedButton());
    if (chosen != answers.end()) return chosen->second;
    // Closed without a button (only possible without an escape button): the safest answer.
    for (const Button way_out : {Button::Cancel, Button::No})
        if (message.buttons.contains(way_out)) return way_out;
    return message.defaultButton;
}

std::optional<QString> QtDialogs::chooseProfile(const OpenRequest& request) {
    QFileDialog dialog(owner_, request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);  // the chosen file must exist
    // Qt's open dialog offers no "open read-only" check box, so there is none to hide.
    dialog.setNameFilter(request.typeName + QLatin1Char('(') + request.pattern + QLatin1Char(')'));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.first();
}

void QtDialogs::showHelp(HelpWindow window) {
    if (help_) help_->show(static_cast<HelpWindows::Window>(window));
}

void QtDialogs::endProgram() {
    // The main window is a tool window, which Qt may not count when deciding that
    // the last window has closed: hide it and leave every running event loop ourselves.
    // No close event is sent, so nothing asks again on the way out.
    if (owner_) owner_->hide();
    QCoreApplication::exit(0);
}
