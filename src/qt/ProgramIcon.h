#pragma once
// The program's own icon (an end mill over a gear), at every size it is drawn in.

#include <QIcon>

QIcon programIcon();
