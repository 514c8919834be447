// Takes the pictures of the README. Each shot starts a fresh main window, puts
// it into one state through its own handlers, shows it as a real window and
// grabs what the screen shows. Run it on a display (make screenshots uses Xvfb):
//
//   ombrel-screenshots <output folder> [shot name ...]
//
// To add a shot, add a row to shots(): a file name and a function that brings
// the window into the state to show and returns the window to grab.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "qt/HelpWindows.h"
#include "qt/QtMainScreen.h"

namespace {

// Answers every question with its default and the open dialog with `profile`.
class QuietDialogs : public UserDialogs {
public:
    std::filesystem::path profile;
    Button showMessage(const Message& message) override { return message.defaultButton; }
    std::optional<std::filesystem::path> chooseProfile(const OpenRequest&) override {
        if (profile.empty()) return std::nullopt;
        return profile;
    }
    void showHelp(HelpWindow) override {}
    void endProgram() override {}
};

// What a shot works with: the main window, its dialogs, the help windows, a folder.
struct Stage {
    QtMainScreen& program;
    QuietDialogs& dialogs;
    HelpWindows& help;
    QString folder;

    MainScreen& screen() const { return program.screen; }
    MainWindow* window() const { return &program.window; }
};

// A small profile with every entry the window shows.
const char* const kSampleProfile =
    "<profile><Port1Add>888</Port1Add><Steps6>8000</Steps6><PulseWidth>5</PulseWidth>"
    "<M4RefHome>1</M4RefHome><JogInc0>1</JogInc0><JogInc1>.1</JogInc1><JogInc2>.01</JogInc2>"
    "<JogInc3>.001</JogInc3><JogInc4>1</JogInc4><JogInc5>.1</JogInc5><JogInc6>.01</JogInc6>"
    "<JogInc7>.001</JogInc7><JogInc8>1</JogInc8><JogInc9>.1</JogInc9>"
    "<Input22Neg>0</Input22Neg><Input11Active>1</Input11Active></profile>";

struct Shot {
    const char* file;
    std::function<QWidget*(Stage&)> prepare;
};

std::vector<Shot> shots() {
    return {
        {"main-startup.png", [](Stage& s) { return s.window(); }},
        {"main-machine-row1.png",
         [](Stage& s) {
             s.screen().SetListIndex(Control::MachineType, 1);
             return s.window();
         }},
        {"main-machine-row2.png",
         [](Stage& s) {
             s.screen().SetListIndex(Control::MachineType, 2);
             return s.window();
         }},
        {"main-hidden-pair.png",
         [](Stage& s) {
             s.screen().Label15_Click();
             return s.window();
         }},
        {"main-profile-open.png",
         [](Stage& s) {
             const QString path = QDir(s.folder).filePath(QStringLiteral("Mach3Mill.xml"));
             QFile file(path);
             if (file.open(QIODevice::WriteOnly)) file.write(kSampleProfile);
             file.close();
             const QByteArray native = QFile::encodeName(path);
             s.dialogs.profile = std::filesystem::path(native.toStdString());
             s.screen().SetListIndex(Control::MachineType, 1);
             s.screen().OpenProfile_Click();
             return s.window();
         }},
        // The help and information windows, each in its design state.
        {"help-measure.png", [](Stage& s) { return s.help.prepare(layout::HelpWindow::HelpMeasure); }},
        {"help-printer.png", [](Stage& s) { return s.help.prepare(layout::HelpWindow::HelpPrinter); }},
        {"help-dig-vfd.png", [](Stage& s) { return s.help.prepare(layout::HelpWindow::HelpDigVFD); }},
        {"info-probe-logic.png", [](Stage& s) { return s.help.prepare(layout::HelpWindow::InfoProbeLogic); }},
        {"info-fourth-axis-homing.png",
         [](Stage& s) { return s.help.prepare(layout::HelpWindow::InfoFourthAxisHoming); }},
    };
}

// Shows the window and waits until the screen has drawn it.
bool showAndSettle(QWidget* widget) {
    widget->show();
    widget->raise();
    widget->activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (widget->windowHandle() && widget->windowHandle()->isExposed() && waited.elapsed() > 300) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: ombrel-screenshots <output folder> [shot ...]\n");
        return 2;
    }
    const QDir out(args.takeFirst());
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    // A fixed folder, so that the path shown in a picture is the same on every run.
    const QString scratch = QDir(QDir::tempPath()).filePath(QStringLiteral("Ombrel3"));
    QDir().mkpath(scratch);
    int failures = 0;
    for (const Shot& shot : shots()) {
        if (!args.isEmpty() && !args.contains(QString::fromLatin1(shot.file))) continue;
        QuietDialogs dialogs;
        QtMainScreen program(dialogs);
        HelpWindows help(&program.window);
        Stage stage{program, dialogs, help, scratch};
        program.window.show();
        QWidget* target = shot.prepare(stage);
        if (!target || !showAndSettle(target)) {
            std::fprintf(stderr, "%s: the window was not shown\n", shot.file);
            ++failures;
            continue;
        }
        const QPixmap picture = target->screen()->grabWindow(target->winId());
        const QString path = out.filePath(QString::fromLatin1(shot.file));
        if (picture.isNull() || !picture.save(path, "PNG")) {
            std::fprintf(stderr, "%s: could not grab or save\n", shot.file);
            ++failures;
            continue;
        }
        std::printf("%s (%dx%d)\n", qPrintable(path), picture.width(), picture.height());
    }
    return failures == 0 ? 0 : 1;
}
