#include <QCloseEvent>

#include "editor/MainScreen.h"

void MainScreen::OpenProfile_Click() {}
bool MainScreen::LoadProfile(const QString&) { return false; }
bool MainScreen::SaveButt_Click() { return false; }
void MainScreen::DoneButt_Click() { dialogs_.endProgram(); }
void MainScreen::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }
