// The floor: the least a Qt Widgets program does to show a window.
#include "StartupProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(583, 619);
    window.show();
    return startup::reportWhenShown(app, window);
}
