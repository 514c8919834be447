#include <QApplication>

#include "editor/MainScreen.h"
#include "editor/QtDialogs.h"
#include "screens/ProgramIcon.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("ombrel-config"));  // ties windows to the desktop entry
    QtDialogs dialogs;
    MainScreen window(dialogs);
    dialogs.setOwner(&window);
    window.show();
    return app.exec();
}
