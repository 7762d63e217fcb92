#include "DialogRunner.h"

#include <QGuiApplication>

namespace dwgviewx {
namespace {

DialogRunner& installed() {
    static DialogRunner runner;
    return runner;
}

}  // namespace

void setDialogRunner(DialogRunner runner) {
    installed() = std::move(runner);
}

int runDialog(QDialog& dialog) {
    if (installed()) return installed()(dialog);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return QDialog::Rejected;
    return dialog.exec();
}

}  // namespace dwgviewx
