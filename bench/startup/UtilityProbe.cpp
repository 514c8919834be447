// The utility's start, as its main() does it, reporting when its window is shown.
#include "StartupProbe.h"
#include "editor/MainScreen.h"
#include "editor/QtDialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDialogs dialogs;
    MainScreen window(dialogs);
    dialogs.setOwner(&window);
    window.show();
    return startup::reportWhenShown(app, window);
}
