// The window tests run inside the program's own application object, so the default
// error report for exceptions that escape an event handler is in place as in use.
#include <gtest/gtest.h>

#include "shell/OrvaneApplication.h"

int main(int argc, char** argv) {
    // Listing the tests at build time runs this too, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    shell::OrvaneApplication app(argc, argv);
    shell::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
