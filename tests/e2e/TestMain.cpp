// The road runs inside the program's own application object, so an exception that
// escapes an event handler reaches the default error report as it would in use.
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
