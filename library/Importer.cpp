#include "library/Importer.h"

#include <QTreeWidget>

#include "library/EntryNames.h"
#include "library/LibraryNode.h"
#include "platform/Paths.h"

namespace library {

QStringList Importer::dwgPathsOnly(const QStringList& chosen) {
    QStringList paths;
    for (const QString& path : chosen) {
        if (extensionOf(path).toUpper() == QLatin1String(".DWG")) paths.append(path);
    }
    return paths;
}

void Importer::importFiles(QTreeWidgetItem* selected, const QStringList& paths) {
    QTreeWidgetItem* targetNode = nullptr;
    TFiles* target = nullptr;
    if (TFiles* selectedEntry = LibraryNode::entryOf(selected)) {
        if (!selectedEntry->isDrawing()) {
            targetNode = selected;
            target = selectedEntry;
        } else if (TFiles* parentEntry = LibraryNode::entryOf(selected->parent())) {
            targetNode = selected->parent();
            target = parentEntry;
        }
    }
    for (const QString& path : paths) {
        auto owned = std::make_unique<TFiles>();
        TFiles* entry = owned.get();
        entry->FileId = newEntryId();
        entry->ItemType = QStringLiteral("1");
        entry->FileNewName = platform::fileNameOf(path);
        entry->LocalPath = path;
        entry->ChangeState = 1;
        entry->LocalState = 1;
        entries_.push_back(std::move(owned));

        auto* node = new LibraryNode(entry->FileNewName, entry);
        if (target) {
            targetNode->setExpanded(true);
            entry->Pid = target->FileId;
            targetNode->addChild(node);
        } else if (selected && selected->parent()) {
            selected->parent()->addChild(node);
        } else {
            tree_.addTopLevelItem(node);
        }
    }
}

}  // namespace library
