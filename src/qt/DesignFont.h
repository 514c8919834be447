#pragma once
// The windows' typeface, "MS Sans Serif", and what stands in for it where it is
// not installed: a sans-serif at the same point size.

#include <QFont>

#include "screens/Layout.h"

namespace qtfront {

// The face at `points` (the window's default size when 0), bold or regular.
// `narrowed`: a stand-in is drawn narrower, to about the line widths of the
// face the captions were fitted to (the main window's captions need it).
QFont DesignFont(const QFont& base, double points, bool bold, bool narrowed);

// The layout's font of a control over the window's font: the window's font
// itself when the control has none of its own.
QFont ControlFont(const QFont& windowFont, const layout::Font& font);

}  // namespace qtfront
