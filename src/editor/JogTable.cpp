#include "editor/MainScreen.h"

void MainScreen::Step0_Change(std::int16_t) {}
void MainScreen::Step0_LostFocus(std::int16_t) {}
void MainScreen::SetDef_Click() {}
void MainScreen::SetSmallInch_Click() {}
void MainScreen::SetSmallMM_Click() {}
