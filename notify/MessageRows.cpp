#include "notify/MessageRows.h"

#include "service/Base64.h"
#include "service/RowSet.h"

namespace notify {

QStringList MessageTexts(ucm::RowSet& rows) {
    QStringList texts;
    for (rows.first(); !rows.atEnd(); rows.next())
        texts.append(rows.value(QStringLiteral("msginfo")));
    rows.first();
    return texts;
}

QStringList ReadMessages(const QString& answer) {
    ucm::RowSet rows = ucm::RowSet::load(ucm::Base64Decode(answer));
    if (rows.rowCount() > 0 && !rows.hasField(QStringLiteral("msginfo"))) {
        throw ucm::RowSetError("Field 'msginfo' not found");
    }
    return MessageTexts(rows);
}

}  // namespace notify
