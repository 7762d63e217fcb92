#pragma once
// The default error report for errors a command does not handle itself: a modal
// box with an error icon and one OK button, captioned with the application title.
// UI thread.
#include <QString>

namespace tasks {

// The box text: the message, with "." appended when its last character sorts
// after "." (so nothing is added after ".", "!" or ",").
QString ErrorReportText(const QString& message);

void ReportError(const QString& message);

}  // namespace tasks
