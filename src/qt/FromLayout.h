#pragma once
// What the Qt windows take from the layout data, in Qt's terms: texts, places
// in pixels, names, alignment and the window's frame and boxes.

#include <QRect>
#include <QString>
#include <Qt>
#include <string_view>

#include "screens/Layout.h"

namespace qtfront {

// Layout text (UTF-8) as a QString.
QString Utf8(std::string_view text);

// Twips to the window's logical pixels, 96 to the inch.
int Px(int twips);

// The control's rectangle in its container, in pixels.
QRect Place(const layout::ControlLayout& laidOut);

// The widget's object name: "Step0_3" for element 3 of a control array, the
// plain name otherwise.
QString ObjectName(const layout::ControlLayout& laidOut);

Qt::Alignment Horizontal(layout::Align align);

// The window's frame and title-bar boxes as Qt's window flags: a dialog frame,
// a tool window or an ordinary window, with the close box and the minimize and
// maximize boxes only where the window has them.
Qt::WindowFlags WindowFlags(const layout::WindowLayout& laidOut);

}  // namespace qtfront
