#pragma once

#include <QString>

// The build folder, where the support programs are and pictures go: the one
// VIMA_BUILD_DIR names (CTest sets it), else the folder above the test's own
// executable that holds CMakeCache.txt. Without either the test stops and
// says what to set.
QString buildFolder();
