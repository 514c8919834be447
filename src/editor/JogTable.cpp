// The jog step table: the number check on every change of an entry, the
// re-formatting of all entries when one loses the focus, and the three presets.

#include <array>
#include <string>
#include <string_view>

#include "editor/MainScreen.h"
#include "profile/NumberRules.h"

namespace {

using Table = std::array<double, 10>;
constexpr Table kOmbrel3Default{0.02, 0.01, 0.005, 0.002, 0.001, 0.0005, 0.001, 0.002, 0.005, 0.01};
constexpr Table kSmallInch{0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001, 0.001, 0.0001};
constexpr Table kSmallMM{0.02, 0.002, 0.02, 0.002, 0.02, 0.002, 0.02, 0.002, 0.02, 0.002};

}  // namespace

void MainScreen::Step0_Change(std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(jogReported_.size())) return;
    const auto i = static_cast<std::size_t>(index);
    const Control entry = Step0(index);
    // A character that no single byte holds reads as "?", which is no number.
    if (form_.Text(entry).empty() || profile::IsNumericText(form_.Text(entry))) {
        jogHasReport_[i] = false;
        jogReported_[i].clear();
        return;
    }
    // One message for one text: the re-formatting when the focus moves, the
    // focus coming back here, or a message box taking the focus writes the same
    // text again, and the user has been told about it already.
    const std::string t = form_.TextAsUtf8(entry);
    if (jogMessageShowing_ || (jogHasReport_[i] && jogReported_[i] == t)) return;
    jogHasReport_[i] = true;
    jogReported_[i] = t;

    jogMessageShowing_ = true;
    dialogs_.showMessage({t + " is not a valid number", "Number error", UserDialogs::Icon::None,
                          {UserDialogs::Button::Ok}, UserDialogs::Button::Ok});
    jogMessageShowing_ = false;

    // An entry in a disabled panel (while the first profile is being opened)
    // cannot take the focus; it is then left where it is.
    if (form_.CanFocus(entry)) form_.SetFocus(entry);
}

void MainScreen::Step0_LostFocus(std::int16_t) {
    // Writing the entries can move the focus or show a message, which must not
    // start another pass over the table while this one runs.
    if (jogReformatting_ || jogMessageShowing_) return;
    jogReformatting_ = true;
    for (int i = 0; i < 10; ++i) {
        const Control entry = Step0(i);
        const std::string text = form_.Text(entry);
        if (text.empty()) continue;
        if (form_.TextFitsBytes(entry)) {
            // A text that is not a number comes back unchanged.
            SetText(entry, profile::FormatMasked(std::string_view(text), "#0.0####"));
        } else {
            // No number either; it keeps its characters, and is checked as a
            // text set again would be.
            TextTyped(entry);
        }
    }
    jogReformatting_ = false;
}

namespace {

void FillTable(MainScreen& window, const Table& table) {
    for (int i = 0; i < 10; ++i)
        window.SetText(Step0(i), profile::NumberText(table[static_cast<std::size_t>(i)]));
}

}  // namespace

void MainScreen::SetDef_Click() { FillTable(*this, kOmbrel3Default); }
void MainScreen::SetSmallInch_Click() { FillTable(*this, kSmallInch); }
void MainScreen::SetSmallMM_Click() { FillTable(*this, kSmallMM); }
