// A program linked with Qt, for the check that finds Qt in a program.
#include <QtGlobal>

int main() { return qVersion() != nullptr ? 0 : 1; }
