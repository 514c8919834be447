// The utility's start, as its main() does it, reporting when its window is shown.
#include "StartupProbe.h"
#include "qt/ProgramIcon.h"
#include "qt/QtDialogs.h"
#include "qt/QtMainScreen.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("ombrel-config"));
    QtDialogs dialogs;
    QtMainScreen program(dialogs);
    program.window.show();
    return startup::reportWhenShown(app, program.window);
}
