#include "tasks/TaskRows.h"

#include <QByteArray>
#include <cstdint>

#include "service/Base64.h"
#include "service/RowSet.h"

namespace tasks {

int ParseStatus(const QString& text) {
    bool ok = !text.isEmpty();
    const int start = (ok && (text[0] == u'-' || text[0] == u'+')) ? 1 : 0;
    if (start == text.size()) ok = false;
    for (int i = start; ok && i < text.size(); ++i) ok = text[i] >= u'0' && text[i] <= u'9';
    qint64 value = 0;
    if (ok) value = text.toLongLong(&ok);
    if (!ok || value < INT32_MIN || value > INT32_MAX) {
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    }
    return static_cast<int>(value);
}

std::vector<TFileMsg> ReadTaskRows(const QString& answer) {
    ucm::RowSet rows = ucm::RowSet::load(ucm::Base64Decode(answer));
    std::vector<TFileMsg> result;
    result.reserve(static_cast<size_t>(rows.rowCount()));
    for (rows.first(); !rows.atEnd(); rows.next()) {
        TFileMsg entry;
        entry.FileId = rows.value(QStringLiteral("FileId"));
        entry.Id = rows.value(QStringLiteral("Id"));
        entry.MsgInfo = rows.value(QStringLiteral("MsgInfo"));
        entry.MsgDate = rows.value(QStringLiteral("MsgDate"));
        entry.Status = ParseStatus(rows.value(QStringLiteral("Status")));
        entry.UserName = rows.value(QStringLiteral("UserName"));
        entry.FilePath = rows.value(QStringLiteral("FilePath"));
        result.push_back(std::move(entry));
    }
    return result;
}

}  // namespace tasks
