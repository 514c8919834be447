#include "editor/MainScreen.h"

void MainScreen::HelpPort_Click() {}
void MainScreen::HelpMeasButt_Click() {}
void MainScreen::cmdProbeLogicInfo_Click() {}
void MainScreen::cmdFourthAxisHomingInfo_Click() {}
