#pragma once
// Acting on a modal window while it runs: the tests start a timer before the
// call that shows it, and the timer's steps run inside its event loop.
//
//   qttest::WhenModal([](QWidget* box, int tick) {
//       if (tick == 0) QTest::keyClick(box, Qt::Key_Escape);
//       else qttest::ButtonWithText(box, "No")->click();
//   });
//   dialogs.showMessage(...);

#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>

namespace qttest {

// Runs `act` on the modal window once it is shown, then again on every tick
// (`tick` counts from 0) until it has closed. A window still open after five
// seconds is closed and fails the test. Ends itself once the window is gone.
void WhenModal(std::function<void(QWidget* modal, int tick)> act);

// The push button of `window` whose caption, without its access-key mark, is `text`.
QPushButton* ButtonWithText(QWidget* window, const QString& text);

// Closes every shown top-level window but `keep`: ends a showing that went wrong.
void CloseOtherWindows(const QWidget* keep);

// After the program was ended outside the application's event loop (a test's
// click that ends it), Qt refuses to run any event loop again, modal windows'
// included: this runs the application's loop once, which clears that.
void ForgetProgramEnd();

}  // namespace qttest
