// dwgrender: draws a DWG file into a PNG, SVG or PDF with the viewer's renderer.
#include <QGuiApplication>
#include <cstdio>

#include "RenderJob.h"

int main(int argc, char** argv) {
    // A command-line tool must work without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString error;
    const auto options = dwgrender::parseArguments(app.arguments().mid(1), error);
    if (!options) {
        std::fprintf(stderr, "dwgrender: %s\n", qPrintable(error));
        return 1;
    }
    const int rc = dwgrender::run(*options, error);
    if (rc != 0) std::fprintf(stderr, "dwgrender: %s\n", qPrintable(error));
    return rc;
}
