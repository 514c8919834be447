#include "EditorTest.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

QWidget* findControl(const QWidget* root, const QString& name) {
    QWidget* found = root ? root->findChild<QWidget*>(name) : nullptr;
    if (!found) ADD_FAILURE() << "No control named " << name.toStdString();
    return found;
}

QString step0Name(int index) { return QStringLiteral("Step0_%1").arg(index); }

void click(QAbstractButton* button) {
    if (!button) return;
    QTest::mouseClick(button, Qt::LeftButton);
}

void clickLabel(QLabel* label) {
    if (!label) return;
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

void typeInto(QLineEdit* box, const QString& keys) {
    if (!box) return;
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(box, keys);
}

void typeOver(QLineEdit* box, const QString& keys) {
    if (!box) return;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    if (keys.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, keys);
}

void pickRow(QComboBox* list, int row) {
    if (!list) return;
    list->showPopup();
    QAbstractItemView* view = list->view();
    if (!view || !view->isVisible()) {
        ADD_FAILURE() << "The list " << list->objectName().toStdString() << " did not open";
        return;
    }
    const QRect place = view->visualRect(list->model()->index(row, list->modelColumn()));
    if (!place.isValid()) {
        ADD_FAILURE() << "The list " << list->objectName().toStdString() << " has no row " << row;
        list->hidePopup();
        return;
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
    if (view->isVisible()) list->hidePopup();
}

QWidget* focusedControl() {
    QWidget* focus = QApplication::focusWidget();
    // The text part of a list belongs to the list.
    if (focus && focus->parentWidget() && qobject_cast<QComboBox*>(focus->parentWidget()))
        return focus->parentWidget();
    return focus;
}

void pressTab() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        ADD_FAILURE() << "Nothing has the focus";
        return;
    }
    QTest::keyClick(focus, Qt::Key_Tab);
}

void EditorTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<MainScreen>(dialogs);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void EditorTest::TearDown() { window.reset(); }

QLineEdit* EditorTest::step0(int index) const { return find<QLineEdit>(step0Name(index)); }

QString EditorTest::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "Could not write " << path.toStdString();
    return path;
}

QByteArray EditorTest::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "Could not read " << path.toStdString();
        return {};
    }
    return file.readAll();
}
