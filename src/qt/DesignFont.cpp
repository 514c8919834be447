#include "qt/DesignFont.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace qtfront {

namespace {

bool IsTheFaceItself(const QString& family) {
    return family.startsWith(QLatin1String("MS Sans Serif")) || family.startsWith(QLatin1String("Microsoft Sans Serif"));
}

}  // namespace

QFont DesignFont(const QFont& base, double points, bool bold, bool narrowed) {
    QFont font = base;
    font.setFamilies({QString::fromUtf8(layout::kFontFace.data(), static_cast<qsizetype>(layout::kFontFace.size())),
                      QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points > 0 ? points : layout::kDefaultPoints);
    font.setBold(bold);
    if (narrowed && !IsTheFaceItself(QFontInfo(font).family())) {
        // The stand-ins are wider than the face: this sentence of 43 letters
        // takes some 196 px at 11 px (96 dpi) in it.
        const QString sample = QStringLiteral("The quick brown fox jumps over the lazy dog");
        const qreal wide = QFontMetricsF(font).horizontalAdvance(sample);
        const qreal target = 196.0 * QFontInfo(font).pixelSize() / 11.0;
        if (wide > target) font.setStretch(std::max(75, static_cast<int>(100.0 * target / wide)));
    }
    return font;
}

QFont ControlFont(const QFont& windowFont, const layout::Font& font) {
    if (font == layout::kWindowFont) return windowFont;
    // Same face and the same narrowing as the window's font, at its own size and weight.
    QFont own = windowFont;
    own.setPointSizeF(font.points > 0 ? font.points : layout::kDefaultPoints);
    own.setBold(font.bold);
    return own;
}

}  // namespace qtfront
