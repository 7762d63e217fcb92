#pragma once
// Folder editing on the catalogue and the tree: new folder beside or under the selected
// node, rename (in place or by dialog) and delete. Changes are only marked in the
// entries' ChangeState; the next upload sends them. UI thread only.
#include <QList>
#include <QString>

#include "library/TreeBuilder.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace library {

class FolderEditing {
public:
    FolderEditing(EntryList& entries, QTreeWidget& tree) : entries_(entries), tree_(tree) {}

    // bbAddClick: a new folder beside `selected` (under the same parent), or at the top
    // level when nothing or a top-level node is selected. Returns its node.
    QTreeWidgetItem* addFolder(QTreeWidgetItem* selected);
    // tbtmAddSubClick: a new folder as the last child of `selected` (any entry, also a
    // drawing), which is expanded. Nothing for no node or a group node.
    QTreeWidgetItem* addSubFolder(QTreeWidgetItem* selected);
    // tv1Edited: a confirmed in-place edit marks the node's entry renamed.
    static void renamed(QTreeWidgetItem* node, const QString& text);
    // Rename by dialog ("输入框"); marks the entry renamed even when cancelled.
    static void renameByDialog(QTreeWidgetItem* node);
    // tbtmDelClick: marks each node's entry deleted and removes the node with its branch,
    // going through `selectedInOrder` from the last selected; removed nodes are skipped.
    void deleteNodes(const QList<QTreeWidgetItem*>& selectedInOrder);

private:
    TFiles* newFolder(const QString& pid);

    EntryList& entries_;
    QTreeWidget& tree_;
};

}  // namespace library
