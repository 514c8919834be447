#pragma once
// Field texts and profile bytes. A profile holds one byte per character: a byte
// 0x80 to 0xFF stands for the character of the same code (Latin-1), so a value
// shown in a field and written back unchanged gives the same bytes again.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace fieldtext {

// The profile bytes shown as a field's text.
inline QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A field's text as profile bytes; nothing when it holds a character that no
// single byte stands for.
inline std::optional<std::string> ToBytes(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0xFF) return std::nullopt;
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A field's text for the number rules: a character beyond a single byte
// becomes "?", which ends a number and makes no text numeric.
inline std::string ForNumberRules(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace fieldtext
