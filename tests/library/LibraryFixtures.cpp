#include "tests/library/LibraryFixtures.h"

#include <QTreeWidget>

#include "library/LibraryNode.h"
#include "service/Base64.h"

namespace testlib {
namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString outlineOf(QTreeWidgetItem* item, bool states) {
    QString text = item->text(0);
    if (states) {
        if (auto* node = library::LibraryNode::of(item)) {
            text += QLatin1Char(':') + QString::number(node->StateImageIndex());
        }
    }
    if (item->childCount() == 0) return text;
    QStringList kids;
    for (int i = 0; i < item->childCount(); ++i) kids << outlineOf(item->child(i), states);
    return text + QLatin1Char('[') + kids.join(QLatin1Char(',')) + QLatin1Char(']');
}

QList<QTreeWidgetItem*> topLevel(const QTreeWidget& tree) {
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) items << tree.topLevelItem(i);
    return items;
}

}  // namespace

std::unique_ptr<library::TFiles> entry(const QString& id, const QString& pid, const QString& name,
                                       const QString& itemType, int flag, const QString& userName,
                                       int changeState) {
    auto e = std::make_unique<library::TFiles>();
    e->FileId = id;
    e->Pid = pid;
    e->FileNewName = name;
    e->ItemType = itemType;
    e->Flag = flag;
    e->UserName = userName;
    e->ChangeState = changeState;
    e->LocalState = itemType == QLatin1String("1") ? 2 : 0;
    return e;
}

QString catalogueAnswer(const QList<Row>& rows) {
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    for (const char* name :
         {"FileId", "Pid", "FileNewName", "ItemType", "FilePath", "Flag", "UserName"}) {
        xml += QStringLiteral("<FIELD attrname=\"%1\" fieldtype=\"string\" WIDTH=\"255\"/>")
                   .arg(QLatin1String(name));
    }
    xml += QStringLiteral("</FIELDS><PARAMS/></METADATA><ROWDATA>");
    for (const Row& r : rows) {
        xml +=
            QStringLiteral(
                "<ROW FileId=\"%1\" Pid=\"%2\" FileNewName=\"%3\" ItemType=\"%4\" FilePath=\"%5\" "
                "Flag=\"%6\" UserName=\"%7\"/>")
                .arg(escaped(r.fileId), escaped(r.pid), escaped(r.name), escaped(r.itemType),
                     escaped(r.filePath), escaped(r.flag), escaped(r.userName));
    }
    xml += QStringLiteral("</ROWDATA></DATAPACKET>");
    return ucm::Base64Encode(xml.toUtf8());
}

QString outline(const QList<QTreeWidgetItem*>& items) {
    QStringList parts;
    for (QTreeWidgetItem* item : items) parts << outlineOf(item, false);
    return parts.join(QLatin1Char(','));
}

QString outline(const QTreeWidget& tree) {
    return outline(topLevel(tree));
}

QString outlineWithStates(const QTreeWidget& tree) {
    QStringList parts;
    for (QTreeWidgetItem* item : topLevel(tree)) parts << outlineOf(item, true);
    return parts.join(QLatin1Char(','));
}

}  // namespace testlib
