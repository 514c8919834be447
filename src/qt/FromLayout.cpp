#include "qt/FromLayout.h"

namespace qtfront {

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int Px(int twips) { return layout::Pixels(twips, 96); }

QRect Place(const layout::ControlSpec& spec) {
    return QRect(Px(spec.left), Px(spec.top), Px(spec.width), Px(spec.height));
}

QString ObjectName(const layout::ControlSpec& spec) {
    QString name = Utf8(spec.name);
    if (spec.index >= 0) name += QLatin1Char('_') + QString::number(spec.index);
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

Qt::WindowFlags WindowFlags(const layout::WindowSpec& spec) {
    // Only the boxes asked for: without CustomizeWindowHint Qt adds its own.
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (spec.controlBox) flags |= Qt::WindowCloseButtonHint;
    switch (spec.border) {
    case layout::Border::FixedDialog: flags |= Qt::Dialog; break;
    case layout::Border::SizableToolWindow: flags |= Qt::Tool; break;
    case layout::Border::Sizable: flags |= Qt::Window; break;
    }
    if (spec.minMaxBoxes) flags |= Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    return flags;
}

}  // namespace qtfront
