#include "qt/QtMainScreen.h"

#include "qt/QtDialogs.h"

QtMainScreen::QtMainScreen(UserDialogs& dialogs) : screen(form, dialogs) {
    window.reportTo(&events_);
    screen.Form_Load();
}

QtMainScreen::QtMainScreen(QtDialogs& dialogs) : QtMainScreen(static_cast<UserDialogs&>(dialogs)) {
    dialogs.setOwner(&window, [this] { window.setEnding(); });
}

QtMainScreen::~QtMainScreen() {
    // The editor goes first: nothing the window does from here on reaches it.
    window.reportTo(nullptr);
}
