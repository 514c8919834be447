#include "qt/QtForm.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <algorithm>

#include "qt/MainWindow.h"

namespace {

QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToStd(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())); }

// The text of a text box, or of a list's text part; empty for anything else.
QString ShownText(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) return box->text();
    if (const auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
    return {};
}

void ShowText(QWidget* widget, const QString& text) {
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        box->setText(text);  // setText raises no textEdited: nothing reaches the editor
        box->home(false);    // a set text shows from its start, as a long path should
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        list->setEditText(text);
    }
}

}  // namespace

QWidget* QtForm::widget(Control control) const { return window_.control(control); }

std::string QtForm::Text(Control control) const {
    // toLatin1 gives '?' for every character above U+00FF.
    return ToStd(ShownText(widget(control)).toLatin1());
}

bool QtForm::TextFitsBytes(Control control) const {
    const QString text = ShownText(widget(control));
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

std::string QtForm::TextAsUtf8(Control control) const { return ToStd(ShownText(widget(control)).toUtf8()); }

void QtForm::PutText(Control control, std::string_view bytes) { ShowText(widget(control), FromBytes(bytes)); }

void QtForm::PutPath(Control control, const std::filesystem::path& path) {
    const std::string& native = path.native();
    ShowText(widget(control), QFile::decodeName(QByteArray(native.data(), static_cast<qsizetype>(native.size()))));
}

std::string QtForm::BytesAsUtf8(std::string_view bytes) const { return ToStd(FromBytes(bytes).toUtf8()); }

bool QtForm::Enabled(Control control) const {
    // The control's own setting, whatever its frame's.
    const QWidget* w = widget(control);
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

void QtForm::SetEnabled(Control control, bool enabled) {
    if (QWidget* w = widget(control)) w->setEnabled(enabled);
}

bool QtForm::Visible(Control control) const {
    // The control's own setting: true for a shown control in a hidden frame.
    const QWidget* w = widget(control);
    return w && !w->isHidden();
}

void QtForm::SetVisible(Control control, bool visible) {
    if (QWidget* w = widget(control)) w->setVisible(visible);
}

bool QtForm::ReadOnly(Control control) const {
    if (const auto* box = qobject_cast<const QLineEdit*>(widget(control))) return box->isReadOnly();
    return false;
}

void QtForm::SetReadOnly(Control control, bool readOnly) {
    if (auto* box = qobject_cast<QLineEdit*>(widget(control))) box->setReadOnly(readOnly);
}

std::string QtForm::Tag(Control control) const {
    const QWidget* w = widget(control);
    return w ? ToStd(w->property("Tag").toString().toUtf8()) : std::string();
}

void QtForm::AddRow(Control list, std::string_view utf8) {
    auto* box = qobject_cast<QComboBox*>(widget(list));
    if (!box) return;
    // The first row added would become the selected one: the list keeps its
    // selection and the text it shows.
    const int selected = box->currentIndex();
    const QString shown = box->currentText();
    const QSignalBlocker quiet(box);
    box->addItem(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    box->setCurrentIndex(selected);
    box->setEditText(shown);
}

int QtForm::RowCount(Control list) const {
    const auto* box = qobject_cast<const QComboBox*>(widget(list));
    return box ? box->count() : 0;
}

int QtForm::ListIndex(Control list) const {
    const auto* box = qobject_cast<const QComboBox*>(widget(list));
    return box ? box->currentIndex() : -1;
}

void QtForm::PutListIndex(Control list, int index) {
    auto* box = qobject_cast<QComboBox*>(widget(list));
    if (!box) return;
    // A row the list does not have selects none.
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

bool QtForm::CanFocus(Control control) const {
    const QWidget* w = widget(control);
    return w && w->focusPolicy() != Qt::NoFocus && w->isEnabled() && w->isVisibleTo(&window_);
}

void QtForm::SetFocus(Control control) {
    // As a program's move, not the user's: the control losing the focus sees
    // OtherFocusReason, which the window reports as a loss of focus.
    if (CanFocus(control)) widget(control)->setFocus(Qt::OtherFocusReason);
}

Control QtForm::Focused() const { return window_.controlOf(window_.focusWidget()); }
