#pragma once
// A node of the library tree `tv1`: a text and the entry it shows, or no entry for an
// owner group of the shared view. The entry is not owned; the pane keeps it alive as
// long as the node exists. UI thread only.
#include <QTreeWidgetItem>

#include "library/TFiles.h"

namespace library {

class LibraryNode : public QTreeWidgetItem {
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 41;

    LibraryNode(const QString& text, TFiles* entry);

    TFiles* entry() const { return entry_; }
    void setEntry(TFiles* entry) { entry_ = entry; }

    // The state index of this node (7 group, 2 folder, 9/10/11 drawing).
    int StateImageIndex() const;

    // The tree asks for the image every time it draws the node (tv1GetImageIndex), so a
    // change of LocalState or LocalModified shows at the next repaint without a rebuild.
    QVariant data(int column, int role) const override;

    // The node behind a tree item, or nullptr for an item that is not a library node.
    static LibraryNode* of(QTreeWidgetItem* item);
    static TFiles* entryOf(QTreeWidgetItem* item);

private:
    TFiles* entry_;
};

// The state index for a node showing `entry` (nullptr for a group node).
int StateImageIndex(const TFiles* entry);

}  // namespace library
