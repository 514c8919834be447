#include "qt/QtDialogs.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <map>
#include <optional>

void QtDialogs::setOwner(QWidget* owner, std::function<void()> ending) {
    owner_ = owner;
    ending_ = std::move(ending);
    help_ = std::make_unique<HelpWindows>(owner);
}

namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString PathText(const std::filesystem::path& path) {
    const std::string& native = path.native();
    return QFile::decodeName(QByteArray(native.data(), static_cast<qsizetype>(native.size())));
}

std::filesystem::path PathOf(const QString& text) {
    const QByteArray native = QFile::encodeName(text);
    return std::filesystem::path(std::string(native.constData(), static_cast<std::size_t>(native.size())));
}

QMessageBox::Icon BoxIcon(UserDialogs::Icon icon) {
    switch (icon) {
    case UserDialogs::Icon::Warning: return QMessageBox::Warning;
    case UserDialogs::Icon::Question: return QMessageBox::Question;
    case UserDialogs::Icon::Critical: return QMessageBox::Critical;
    case UserDialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QAbstractButton* AddButton(QMessageBox& box, UserDialogs::Button button) {
    using B = UserDialogs::Button;
    switch (button) {
    case B::Ok: return box.addButton(QMessageBox::Ok);
    case B::Yes: return box.addButton(QMessageBox::Yes);
    case B::No: return box.addButton(QMessageBox::No);
    case B::Cancel: return box.addButton(QMessageBox::Cancel);
    case B::SaveAnyway: return box.addButton(QStringLiteral("Save Anyway"), QMessageBox::AcceptRole);
    case B::WriteAgain: return box.addButton(QStringLiteral("Write Again"), QMessageBox::AcceptRole);
    }
    return nullptr;
}

bool Offers(const UserDialogs::Message& message, UserDialogs::Button button) {
    return std::find(message.buttons.begin(), message.buttons.end(), button) != message.buttons.end();
}

// The button that Escape and the close box answer with: Cancel, or OK where it
// is the only button. A question without one (Yes and No) must be answered with
// a button, as the system's own Yes/No boxes are: Qt would take Escape and the
// close box as No.
std::optional<UserDialogs::Button> WayOut(const UserDialogs::Message& message) {
    if (Offers(message, UserDialogs::Button::Cancel)) return UserDialogs::Button::Cancel;
    if (message.buttons.size() == 1 && message.buttons.front() == UserDialogs::Button::Ok)
        return UserDialogs::Button::Ok;
    return std::nullopt;
}

// A message box that, without a way out, ignores Escape and the close command
// and shows no close box as far as the window manager lets it.
class MessageBox final : public QMessageBox {
public:
    MessageBox(QWidget* owner, bool hasWayOut) : QMessageBox(owner), hasWayOut_(hasWayOut) {
        if (!hasWayOut_)
            setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                           ~(Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!hasWayOut_ && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!hasWayOut_) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool hasWayOut_;
};

}  // namespace

UserDialogs::Button QtDialogs::showMessage(const Message& message) {
    const std::optional<Button> wayOut = WayOut(message);
    MessageBox box(owner_, wayOut.has_value());
    box.setWindowTitle(Utf8(message.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(Utf8(message.text));
    box.setIcon(BoxIcon(message.icon));

    std::map<QAbstractButton*, Button> answers;
    for (const Button button : message.buttons) {
        QAbstractButton* shown = AddButton(box, button);
        answers[shown] = button;
        if (button == message.defaultButton) box.setDefaultButton(qobject_cast<QPushButton*>(shown));
        if (wayOut == button) box.setEscapeButton(shown);
    }

    box.exec();
    const auto chosen = answers.find(box.clickedButton());
    if (chosen != answers.end()) return chosen->second;
    // Ended without a button: by Escape or the close box where there is a way
    // out; else only by the program going, where the default is the safe answer.
    return wayOut.value_or(message.defaultButton);
}

std::optional<std::filesystem::path> QtDialogs::chooseProfile(const OpenRequest& request) {
    // A folder this system does not have (such as "C:\Ombrel3" on Linux) starts
    // the dialog in the user's home instead.
    QString folder = PathText(request.initialFolder);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    QFileDialog dialog(owner_, Utf8(request.title), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);  // the chosen file must exist
    // Qt's open dialog offers no "open read-only" check box, so there is none to hide.
    dialog.setNameFilter(Utf8(request.typeName) + QLatin1Char('(') + Utf8(request.pattern) + QLatin1Char(')'));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return PathOf(chosen.first());
}

void QtDialogs::showHelp(HelpWindow window) {
    if (!help_) help_ = std::make_unique<HelpWindows>(owner_);
    help_->show(window);
}

void QtDialogs::endProgram() {
    if (owner_ && ending_) ending_();
    // The main window is a tool window, which Qt may not count when deciding that
    // the last window has closed: hide it and leave every running event loop ourselves.
    if (owner_) owner_->hide();
    QCoreApplication::exit(0);
}
