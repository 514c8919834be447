#pragma once
// The editor's test programs take their locale from the environment (LC_ALL,
// LANG), as the program does for its user, so that a run under a German
// locale shows that numbers and messages do not change with it. A run that
// names the decimal point it expects (OMBREL_EXPECT_DECIMAL_POINT) checks that
// the process really is under that locale, or it would prove nothing.

namespace editortest {

// Sets the locale from the environment. False, with the reason on standard
// error, when that locale is not installed or is not the one expected.
bool TakeLocaleFromEnvironment();

}  // namespace editortest
