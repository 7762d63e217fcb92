#pragma once
// How the viewer shows its modal dialogs (layers, print). Tests install a runner that
// inspects or fills the dialog and returns a result instead of waiting for a person.
// Process-wide; UI thread only.
#include <QDialog>
#include <functional>

namespace dwgviewx {

using DialogRunner = std::function<int(QDialog&)>;

// Installs `runner`; an empty function restores the default, which calls exec() (and,
// on the offscreen platform where nobody could answer, rejects the dialog at once).
void setDialogRunner(DialogRunner runner);
// Shows `dialog` through the installed runner; returns QDialog::Accepted or Rejected.
int runDialog(QDialog& dialog);

}  // namespace dwgviewx
