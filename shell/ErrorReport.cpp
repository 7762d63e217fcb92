#include "shell/ErrorReport.h"

#include <stdexcept>

#include "platform/Dialogs.h"

namespace shell {

namespace {
const QString kAppTitle = QStringLiteral("OrvaneCAD");
}

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

void reportError(const QString& message) {
    platform::dialogs().messageBox(errorReportText(message), kAppTitle, platform::Buttons::Ok,
                                   platform::Icon::Error);
}

void reportCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    } catch (...) {
        // Something that is not a std::exception: still an error the user must see.
        reportError(QStringLiteral("未知错误"));
    }
}

}  // namespace shell
