// Fuzzes the editor's open path through the real main window: whatever bytes a
// profile holds, the window either opens it or refuses it with a message that
// names the file, never crashes, and a following save changes nothing but the
// values of the entries the editor writes (or refuses with a message and
// leaves the file as it was).
//
// The input is the profile's bytes. Its middle byte picks the machine (so both
// spindle methods are used), and its lowest bit whether the user types a port
// and applies a jog preset before saving.

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "editor/MainScreen.h"
#include "editor/UserDialogs.h"
#include "open_path_check.h"

namespace {

[[noreturn]] void Broken(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "open path broken: %s\n%s\n", what, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

// Answers every notice with OK and records it; the open dialog returns the
// fuzzed file. Nothing in a run should ask a question: the file is not changed
// between the open and the save, and no profile was open before.
class FuzzDialogs : public UserDialogs {
public:
    explicit FuzzDialogs(QString path) : path_(std::move(path)) {}

    Button showMessage(const Message& message) override {
        messages.push_back(message);
        if (message.buttons != QList<Button>{Button::Ok})
            Broken("a question was asked", message.title + QStringLiteral(": ") + message.text);
        if (message.text.trimmed().isEmpty()) Broken("a message without text", message.title);
        return Button::Ok;
    }
    std::optional<QString> chooseProfile(const OpenRequest&) override { return path_; }
    void showHelp(HelpWindow) override {}
    void endProgram() override {}

    QList<Message> messages;

private:
    QString path_;
};

std::unique_ptr<QTemporaryDir> g_folder;
QString g_path;

bool WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

std::string ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QDir folder = QFileInfo(path).absoluteDir();
        Broken("the profile cannot be read back",
               path + QStringLiteral(": ") + file.errorString() + QStringLiteral("; its folder ") +
                   (folder.exists() ? QStringLiteral("holds: ") + folder.entryList(QDir::AllEntries | QDir::Hidden).join(
                                                                      QStringLiteral(" | "))
                                    : QStringLiteral("is gone")));
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

template <class T>
T* Control(const MainScreen& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (!control) Broken("no control named", QString::fromLatin1(name));
    return control;
}

void Run(const std::string& original, int machine, bool edit) {
    if (!WriteFile(g_path, original)) Broken("the profile cannot be written", g_path);
    FuzzDialogs dialogs(g_path);
    MainScreen window(dialogs);

    window.SetListIndex(Control<QComboBox>(window, "MachineType"), machine);
    QPushButton* open = Control<QPushButton>(window, "OpenProfile");
    if (!open->isEnabled()) Broken("a machine was chosen, yet \"Open Profile\" is disabled");
    open->click();

    QPushButton* save = Control<QPushButton>(window, "SaveButt");
    if (!window.FileLoaded) {
        if (dialogs.messages.isEmpty()) Broken("refused without a message");
        if (!dialogs.messages.back().text.contains(g_path))
            Broken("the refusal does not name the file", dialogs.messages.back().text);
        if (!window.ProfileXml.empty() || window.ProfileChanged || save->isEnabled())
            Broken("a refused open left something behind");
        if (ReadFile(g_path) != original) Broken("opening changed the file");
        return;
    }
    if (window.openedProfilePath() != g_path) Broken("opened, but not the chosen file", window.openedProfilePath());
    if (window.ProfileXml != original) Broken("the text in memory is not the file");
    if (!save->isEnabled()) Broken("opened, yet \"Save Profile\" is disabled");

    if (edit) {
        window.SetText(Control<QLineEdit>(window, "PortAdd"), QStringLiteral("3bc"));
        Control<QPushButton>(window, "SetSmallMM")->click();
    }
    dialogs.messages.clear();
    const bool changedBefore = window.ProfileChanged;
    const bool written = window.SaveButt_Click();

    const std::string saved = ReadFile(g_path);
    if (!written) {
        // Not saved: the user was told, and the file is as it was.
        if (dialogs.messages.isEmpty()) Broken("not saved, and nothing was said");
        if (saved != original) Broken("a save that did not happen changed the file");
        if (window.ProfileChanged != changedBefore) Broken("a refused save changed ProfileChanged");
        return;
    }
    if (window.ProfileChanged) Broken("saved, yet the profile is still marked as changed");
    if (!dialogs.messages.isEmpty()) Broken("saved, yet a message was shown", dialogs.messages.back().text);
    if (saved != window.ProfileXml) Broken("the file is not the text in memory");
    if (!openpath::OnlySavedValuesDiffer(original, saved))
        Broken("the save changed more than the handled entries",
               QStringLiteral("first difference at byte %1").arg(openpath::FirstOtherDifference(original, saved)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps its own arguments; libFuzzer's flags are not for it.
    static int qtArgc = 1;
    static char name[] = "fuzz_open_path";
    static char* qtArgv[] = {name, nullptr};
    static QApplication app(qtArgc, qtArgv);

    // A folder whose name, like the users', has a space and a letter beyond ASCII.
    const QString shm = QStringLiteral("/dev/shm");
    const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
    g_folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/ombrel-fuzz-XXXXXX"));
    if (!g_folder->isValid()) Broken("no temporary folder", base);
    g_path = g_folder->filePath(QStringLiteral("Profil \u00e9t\u00e9.xml"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), size);
    const std::uint8_t pick = size > 0 ? data[size / 2] : 0;
    Run(original, 1 + pick % 4, (pick & 1) != 0);
    // Widgets deleted later are deleted now, before the next input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
