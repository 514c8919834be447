// A second reference: a bare window that shows one line of text, so that the
// cost of fonts, which any window with text pays, shows apart from the rest.
#include <QLabel>

#include "StartupProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(583, 619);
    QLabel text(QStringLiteral("Configure Ombrel Profile"), &window);
    text.move(16, 24);
    window.show();
    return startup::reportWhenShown(app, window);
}
