// Runs the Qt Quick tests of this folder; CTest passes one file per case
// with -input.
#include <QtQuickTest/quicktest.h>

QUICK_TEST_MAIN(z3_qml)
