#include "library/FolderEditing.h"

#include <QSet>
#include <QTreeWidget>

#include "library/EntryNames.h"
#include "library/LibraryNode.h"
#include "platform/Dialogs.h"

namespace library {
namespace {

const QString kNewFolderName = QStringLiteral("新建文件夹");

void collectBranch(QTreeWidgetItem* node, QSet<QTreeWidgetItem*>* into) {
    std::vector<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        into->insert(item);
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
}

// A new entry keeps its "new" mark when renamed: its commit carries the new name, while
// a rename record alone would leave the folder, and whatever is made in it, unknown to
// the service.
void markRenamed(TFiles* entry) {
    if (entry->ChangeState != 1) entry->ChangeState = 3;
}

}  // namespace

TFiles* FolderEditing::newFolder(const QString& pid) {
    auto entry = std::make_unique<TFiles>();
    entry->FileId = newEntryId();
    entry->Pid = pid;
    entry->ItemType = QStringLiteral("0");
    entry->FileNewName = kNewFolderName;
    entry->ChangeState = 1;
    entries_.push_back(std::move(entry));
    return entries_.back().get();
}

QTreeWidgetItem* FolderEditing::addFolder(QTreeWidgetItem* selected) {
    QTreeWidgetItem* parent = selected ? selected->parent() : nullptr;
    TFiles* selectedEntry = LibraryNode::entryOf(selected);
    TFiles* entry = newFolder(parent && selectedEntry ? selectedEntry->Pid : QString());
    auto* node = new LibraryNode(entry->FileNewName, entry);
    if (parent) {
        parent->addChild(node);
    } else {
        tree_.addTopLevelItem(node);
    }
    return node;
}

QTreeWidgetItem* FolderEditing::addSubFolder(QTreeWidgetItem* selected) {
    TFiles* selectedEntry = LibraryNode::entryOf(selected);
    if (!selectedEntry) return nullptr;
    TFiles* entry = newFolder(selectedEntry->FileId);
    auto* node = new LibraryNode(entry->FileNewName, entry);
    selected->addChild(node);
    selected->setExpanded(true);
    return node;
}

void FolderEditing::renamed(QTreeWidgetItem* node, const QString& text) {
    if (!node) return;
    node->setText(0, text);
    if (TFiles* entry = LibraryNode::entryOf(node)) {
        markRenamed(entry);
        entry->FileNewName = text;
    }
}

void FolderEditing::renameByDialog(QTreeWidgetItem* node) {
    TFiles* entry = LibraryNode::entryOf(node);
    if (!entry) return;
    markRenamed(entry);
    const QString name = platform::dialogs().inputBox(
        QStringLiteral("输入框"), QStringLiteral("请输入文件夹新名称："), entry->FileNewName);
    entry->FileNewName = name;
    node->setText(0, name);
}

void FolderEditing::deleteNodes(const QList<QTreeWidgetItem*>& selectedInOrder) {
    QSet<QTreeWidgetItem*> removed;
    for (auto it = selectedInOrder.crbegin(); it != selectedInOrder.crend(); ++it) {
        QTreeWidgetItem* node = *it;
        if (removed.contains(node)) continue;
        if (TFiles* entry = LibraryNode::entryOf(node)) entry->ChangeState = 2;
        collectBranch(node, &removed);
        delete node;  // takes the node and its branch out of the tree
    }
}

}  // namespace library
