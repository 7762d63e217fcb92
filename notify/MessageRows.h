#pragma once
// Reading the "UserMng/GetMsg" answer: Base64 of a row set with a column "msginfo".
// Pure functions, any thread.
#include <QString>
#include <QStringList>
#include <optional>

namespace ucm {
class RowSet;
}

namespace notify {

// The "msginfo" text of every row, in row order. Throws when the column is missing.
QStringList MessageTexts(ucm::RowSet& rows);

// Decodes an answer into message texts. Throws std::exception when the answer is
// not Base64, not a row set, or lacks "msginfo" in its rows.
QStringList ReadMessages(const QString& answer);

}  // namespace notify
