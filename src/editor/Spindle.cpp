// Spindle calibration: the new steps per unit, recalculated from the two
// measured voltages or from the drive's frequency reading.

#include <cmath>

#include "editor/MainScreen.h"
#include "profile/NumberRules.h"

namespace {

// NewSteps = ManVolts x SpinVel / (AutoVolts x 4.5 / 4.2), in this order.
double VoltsFormula(double s, double m, double a) {
    const double p = m * s;
    double q = a * 4.5;
    q = q / 4.2;
    return p / q;
}

}  // namespace

void MainScreen::ManVolts_Change() {
    if (!profile::IsNumericText(form_.Text(Control::ManVolts))) return;
    RecalculateFromVolts();
}

void MainScreen::AutoVolts_Change() {
    if (!profile::IsNumericText(form_.Text(Control::AutoVolts))) return;
    RecalculateFromVolts();
}

// Both voltage handlers guard only their own field and the divisor; text in the
// other fields counts as its leading number.
void MainScreen::RecalculateFromVolts() {
    const auto leading = [this](Control field) { return profile::ParseLeadingNumber(form_.Text(field)); };
    if (leading(Control::AutoVolts) == 0) return;
    const double s = leading(Control::SpinVel);
    const double m = leading(Control::ManVolts);
    const double a = leading(Control::AutoVolts);
    ShowNewSteps(VoltsFormula(s, m, a));
}

void MainScreen::HzAt500_Change() {
    if (!profile::IsNumericText(form_.Text(Control::HzAt500))) return;
    if (!(profile::ParseLeadingNumber(form_.Text(Control::HzAt500)) > 0)) return;
    const double s = profile::ParseLeadingNumber(form_.Text(Control::SpinVel));
    const double h = profile::ParseLeadingNumber(form_.Text(Control::HzAt500));
    double r = NominalHz / h;
    r = r * s;
    ShowNewSteps(r);
}

void MainScreen::ShowNewSteps(double steps) {
    // A result beyond the range of numbers (a tiny divisor against a huge
    // value) would be no number to save: the steps stay as they were.
    if (!std::isfinite(steps)) return;
    SetText(Control::NewSteps, profile::FormatMasked(steps, "0.0##"));
    ProfileChanged = true;
}
