#pragma once
// Reads the "FileMng/FileMsgGet" answer (Base64 of a row set) into task entries, in
// the answer's row order. Pure function, any thread.
#include <QString>
#include <stdexcept>
#include <vector>

#include "tasks/TFileMsg.h"

namespace tasks {

// Throws std::runtime_error with a message for the user when the answer is not
// valid Base64, not a valid row set, lacks a field, or holds a "Status" that is not
// a whole decimal number. LocalState and LocalPath are left at their defaults.
std::vector<TFileMsg> ReadTaskRows(const QString& answer);

// The strict decimal conversion of a "Status" text; throws on anything else.
int ParseStatus(const QString& text);

}  // namespace tasks
