#pragma once
// Shared by the workflow tests: the committed fixtures, a fresh copy of one in
// the test's own folder, and the user's way through the window.

#include <QByteArray>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <string_view>
#include <utility>
#include <vector>

#include "EditorTest.h"

// The committed fixture `name`, whole.
inline QByteArray fixtureBytes(const QString& name) {
    QFile file(QStringLiteral(OMBREL_EDITOR_FIXTURES "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "No fixture " << name.toStdString();
        return {};
    }
    return file.readAll();
}

// The value of `key` replaced as the profile stores it: the bytes between the
// first '>' at or after the key's first occurrence and the next '<'. Kept apart
// from the editor's own search so that expected files do not depend on it.
inline void replaceValue(QByteArray& text, std::string_view key, const QByteArray& value) {
    const qsizetype a = text.indexOf(QByteArray(key.data(), static_cast<qsizetype>(key.size())));
    if (a < 0) {
        ADD_FAILURE() << "The expected text has no " << key;
        return;
    }
    const qsizetype b = text.indexOf('>', a);
    const qsizetype c = text.indexOf('<', b + 1);
    text = text.left(b + 1) + value + text.mid(c);
}

using Edits = std::vector<std::pair<std::string_view, QByteArray>>;

inline QByteArray withEdits(QByteArray text, const Edits& edits) {
    for (const auto& [key, value] : edits) replaceValue(text, key, value);
    return text;
}

class WorkflowTest : public EditorTest {
protected:
    // A fresh copy of the fixture in a folder whose name has a space and a
    // letter beyond ASCII, as users' folders have.
    QString copyFixture(const QString& name, const QString& as = QStringLiteral("Mach3 Mill.xml")) {
        return copyBytes(fixtureBytes(name), as);
    }
    QString copyBytes(const QByteArray& bytes, const QString& as = QStringLiteral("Mach3 Mill.xml")) {
        const QString sub = QStringLiteral("Profils de l'atelier \u00e9t\u00e9");
        QDir(folder()).mkpath(sub);
        return writeFile(sub + QLatin1Char('/') + as, bytes);
    }

    // Another program writes the file.
    static void overwrite(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    void chooseMachine(int row) { pickRow(find<QComboBox>("MachineType"), row); }
    void openProfile(const QString& path) {
        dialogs.answerOpen(path);
        click(find<QPushButton>("OpenProfile"));
    }
    void save() { click(find<QPushButton>("SaveButt")); }
    void done() { click(find<QPushButton>("DoneButt")); }
    QLineEdit* field(const char* name) const { return find<QLineEdit>(QString::fromLatin1(name)); }
};
