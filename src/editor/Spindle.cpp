// Spindle calibration: the new steps per unit, recalculated from the two
// measured voltages or from the drive's frequency reading.

#include <QLineEdit>
#include <cmath>

#include "editor/FieldText.h"
#include "editor/MainScreen.h"
#include "profile/NumberRules.h"
#include "ui_MainScreen.h"

namespace {

bool IsNumber(const QLineEdit* field) { return profile::IsNumericText(fieldtext::ForNumberRules(field->text())); }

double LeadingNumber(const QLineEdit* field) {
    return profile::ParseLeadingNumber(fieldtext::ForNumberRules(field->text()));
}

// NewSteps = ManVolts x SpinVel / (AutoVolts x 4.5 / 4.2), in this order.
double VoltsFormula(double s, double m, double a) {
    const double p = m * s;
    double q = a * 4.5;
    q = q / 4.2;
    return p / q;
}

}  // namespace

void MainScreen::ManVolts_Change() {
    if (!IsNumber(ui->ManVolts)) return;
    RecalculateFromVolts();
}

void MainScreen::AutoVolts_Change() {
    if (!IsNumber(ui->AutoVolts)) return;
    RecalculateFromVolts();
}

// Both voltage handlers guard only their own field and the divisor; text in the
// other fields counts as its leading number.
void MainScreen::RecalculateFromVolts() {
    if (LeadingNumber(ui->AutoVolts) == 0) return;
    const double s = LeadingNumber(ui->SpinVel);
    const double m = LeadingNumber(ui->ManVolts);
    const double a = LeadingNumber(ui->AutoVolts);
    ShowNewSteps(VoltsFormula(s, m, a));
}

void MainScreen::HzAt500_Change() {
    if (!IsNumber(ui->HzAt500)) return;
    if (!(LeadingNumber(ui->HzAt500) > 0)) return;
    const double s = LeadingNumber(ui->SpinVel);
    const double h = LeadingNumber(ui->HzAt500);
    double r = NominalHz / h;
    r = r * s;
    ShowNewSteps(r);
}

void MainScreen::ShowNewSteps(double steps) {
    // A result beyond the range of numbers (a tiny divisor against a huge
    // value) would be no number to save: the steps stay as they were.
    if (!std::isfinite(steps)) return;
    SetText(ui->NewSteps, QString::fromLatin1(profile::FormatMasked(steps, "0.0##")));
    ProfileChanged = true;
}
