// The Linux program: the main window with its editor, shown, and the event loop.
#include <QApplication>

#include "qt/ProgramIcon.h"
#include "qt/QtDialogs.h"
#include "qt/QtMainScreen.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("ombrel-config"));  // ties windows to the desktop entry
    QtDialogs dialogs;
    QtMainScreen program(dialogs);
    program.window.show();
    return app.exec();
}
