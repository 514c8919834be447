// The jog step table: the number check on every change of an entry, the
// re-formatting of all entries when one loses the focus, and the three presets.

#include <QLineEdit>
#include <array>
#include <optional>
#include <string>

#include "editor/FieldText.h"
#include "editor/MainScreen.h"
#include "profile/NumberRules.h"

namespace {

bool IsNumber(const QString& text) {
    const std::optional<std::string> bytes = fieldtext::ToBytes(text);
    return bytes && profile::IsNumericText(*bytes);
}

// The entry's text with the jog mask; text that is not a number comes back unchanged.
QString JogFormatted(const QString& text) {
    const std::optional<std::string> bytes = fieldtext::ToBytes(text);
    if (!bytes) return text;
    return QString::fromLatin1(profile::FormatMasked(std::string_view(*bytes), "#0.0####"));
}

using Table = std::array<double, 10>;
constexpr Table kOmbrel3Default{0.02, 0.01, 0.005, 0.002, 0.001, 0.0005, 0.001, 0.002, 0.005, 0.01};
constexpr Table kSmallInch{0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001};
constexpr Table kSmallMM{0.02, 0.002, 0.02, 0.002, 0.02, 0.002, 0.02, 0.002, 0.02, 0.002};

}  // namespace

void MainScreen::Step0_Change(std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(Step0.size())) return;
    const auto i = static_cast<std::size_t>(index);
    const QString t = Step0[i]->text();
    if (t.isEmpty() || IsNumber(t)) {
        jogReported_[i] = QString();
        return;
    }
    // One message for one text: the re-formatting when the focus moves, the
    // focus coming back here, or a message box taking the focus writes the same
    // text again, and the user has been told about it already.
    if (jogMessageShowing_ || (!jogReported_[i].isNull() && jogReported_[i] == t)) return;
    jogReported_[i] = t;

    jogMessageShowing_ = true;
    dialogs_.showMessage({t + QStringLiteral(" is not a valid number"), QStringLiteral("Number error"),
                          UserDialogs::Icon::None, {UserDialogs::Button::Ok}, UserDialogs::Button::Ok});
    jogMessageShowing_ = false;

    // An entry in a disabled panel (while the first profile is being opened)
    // cannot take the focus; it is then left where it is.
    if (Step0[i]->isEnabled() && Step0[i]->isVisibleTo(this)) Step0[i]->setFocus(Qt::OtherFocusReason);
}

void MainScreen::Step0_LostFocus(std::int16_t) {
    // Writing the entries can move the focus or show a message, which must not
    // start another pass over the table while this one runs.
    if (jogReformatting_ || jogMessageShowing_) return;
    jogReformatting_ = true;
    for (QLineEdit* entry : Step0) {
        const QString text = entry->text();
        if (!text.isEmpty()) SetText(entry, JogFormatted(text));
    }
    jogReformatting_ = false;
}

namespace {

void FillTable(MainScreen& window, const std::array<QLineEdit*, 10>& entries, const Table& table) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        window.SetText(entries[i], QString::fromLatin1(profile::NumberText(table[i])));
}

}  // namespace

void MainScreen::SetDef_Click() { FillTable(*this, Step0, kOmbrel3Default); }
void MainScreen::SetSmallInch_Click() { FillTable(*this, Step0, kSmallInch); }
void MainScreen::SetSmallMM_Click() { FillTable(*this, Step0, kSmallMM); }
