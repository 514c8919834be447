#include <QApplication>

#include "editor/MainScreen.h"
#include "editor/QtDialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDialogs dialogs;
    MainScreen window(dialogs);
    dialogs.setOwner(&window);
    window.show();
    return app.exec();
}
