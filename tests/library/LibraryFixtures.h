#pragma once
// Small helpers for library tests: entries, catalogue answers and tree outlines.
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "library/TFiles.h"
#include "library/TreeBuilder.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace testlib {

struct Row {
    QString fileId, pid, name, itemType, filePath, flag, userName;
};

std::unique_ptr<library::TFiles> entry(const QString& id, const QString& pid, const QString& name,
                                       const QString& itemType = QStringLiteral("0"), int flag = 0,
                                       const QString& userName = QString(), int changeState = 0);

// The service's catalogue answer (unwrapped): Base64 of a data packet with these rows.
QString catalogueAnswer(const QList<Row>& rows);

// "A[B,C[D]],E": node texts with their children in brackets.
QString outline(const QList<QTreeWidgetItem*>& items);
QString outline(const QTreeWidget& tree);
// The same with each node's state index after its text: "A:2[B:9]".
QString outlineWithStates(const QTreeWidget& tree);

}  // namespace testlib
