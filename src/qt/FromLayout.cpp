#include "qt/FromLayout.h"

namespace qtfront {

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int Px(int twips) { return layout::Pixels(twips, 96); }

QRect Place(const layout::ControlLayout& laidOut) {
    return QRect(Px(laidOut.left), Px(laidOut.top), Px(laidOut.width), Px(laidOut.height));
}

QString ObjectName(const layout::ControlLayout& laidOut) {
    QString name = Utf8(laidOut.name);
    if (laidOut.index >= 0) name += QLatin1Char('_') + QString::number(laidOut.index);
    return name;
}

Qt::Alignment Horizontal(layout::Align align) {
    switch (align) {
    case layout::Align::Right: return Qt::AlignRight;
    case layout::Align::Centre: return Qt::AlignHCenter;
    case layout::Align::Left: break;
    }
    return Qt::AlignLeft;
}

Qt::WindowFlags WindowFlags(const layout::WindowLayout& laidOut) {
    // Only the boxes asked for: without CustomizeWindowHint Qt adds its own.
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (laidOut.controlBox) flags |= Qt::WindowCloseButtonHint;
    switch (laidOut.border) {
    case layout::Border::FixedDialog: flags |= Qt::Dialog; break;
    case layout::Border::SizableToolWindow: flags |= Qt::Tool; break;
    case layout::Border::Sizable: flags |= Qt::Window; break;
    }
    if (laidOut.minMaxBoxes) flags |= Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    return flags;
}

}  // namespace qtfront
