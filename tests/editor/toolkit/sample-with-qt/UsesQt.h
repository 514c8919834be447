#pragma once
// A header that includes Qt, for the check that finds such includes.
#include <QString>
