#pragma once
// Runs a dialog modally. The task windows open their dialogs through here so that
// tests can drive them without a nested event loop waiting for a person. UI thread.
#include <functional>

class QDialog;

namespace tasks {

// Shows `dialog` modally and returns its result (QDialog::Accepted or Rejected).
int RunModal(QDialog& dialog);

// Replaces the modal run; an empty function restores dialog.exec(). The hook gets
// the dialog after it was set up and returns the result the dialog closed with.
void SetModalHook(std::function<int(QDialog&)> hook);

}  // namespace tasks
