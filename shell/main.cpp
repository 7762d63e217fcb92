// Program entry: the application, its title, the main window, the event loop.
#include "shell/OrvaneApplication.h"
#include "shell/uFrmMain.h"

int main(int argc, char** argv) {
    shell::OrvaneApplication app(argc, argv);
    shell::installFontSubstitutes();
    TFrmMain window;
    window.show();
    return app.exec();
}
