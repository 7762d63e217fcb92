#include "tasks/ErrorReport.h"

#include "platform/Dialogs.h"

namespace tasks {

QString ErrorReportText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

void ReportError(const QString& message) {
    platform::dialogs().messageBox(ErrorReportText(message), QStringLiteral("OrvaneCAD"),
                                   platform::Buttons::Ok, platform::Icon::Error);
}

}  // namespace tasks
