#include "editor/MainScreen.h"

void MainScreen::ManVolts_Change() {}
void MainScreen::AutoVolts_Change() {}
void MainScreen::HzAt500_Change() {}
