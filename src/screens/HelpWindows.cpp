#include "screens/HelpWindows.h"

HelpWindows::HelpWindows(QWidget* owner) : owner_(owner) {}
HelpWindows::~HelpWindows() = default;

void HelpWindows::show(Window) {}
