#include "editor/MainScreen.h"

// The Help and Info buttons each show their window modally; they read no editor
// state except DigitalVfd and change none.

void MainScreen::HelpPort_Click() { dialogs_.showHelp(UserDialogs::HelpWindow::HelpPrinter); }

void MainScreen::HelpMeasButt_Click() {
    // The spindle help follows the calibration method in use at the moment of the click.
    dialogs_.showHelp(DigitalVfd ? UserDialogs::HelpWindow::HelpDigVFD : UserDialogs::HelpWindow::HelpMeasure);
}

void MainScreen::cmdProbeLogicInfo_Click() { dialogs_.showHelp(UserDialogs::HelpWindow::InfoProbeLogic); }

void MainScreen::cmdFourthAxisHomingInfo_Click() {
    dialogs_.showHelp(UserDialogs::HelpWindow::InfoFourthAxisHoming);
}
