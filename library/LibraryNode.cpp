#include "library/LibraryNode.h"

#include "library/StateImages.h"

namespace library {

int StateImageIndex(const TFiles* entry) {
    if (!entry) return StateImages::Group;
    if (!entry->isDrawing()) return StateImages::Folder;
    switch (entry->LocalState) {
        case 1:
            return StateImages::DrawingImported;
        case 3:
            return entry->LocalModified ? StateImages::DrawingChanged : StateImages::DrawingClean;
        default:
            return StateImages::DrawingClean;
    }
}

LibraryNode::LibraryNode(const QString& text, TFiles* entry)
    : QTreeWidgetItem(NodeType), entry_(entry) {
    setText(0, text);
    setFlags(flags() | Qt::ItemIsEditable);
}

int LibraryNode::StateImageIndex() const {
    return library::StateImageIndex(entry_);
}

QVariant LibraryNode::data(int column, int role) const {
    if (column == 0 && role == Qt::DecorationRole) return StateImages::icon(StateImageIndex());
    return QTreeWidgetItem::data(column, role);
}

LibraryNode* LibraryNode::of(QTreeWidgetItem* item) {
    return item && item->type() == NodeType ? static_cast<LibraryNode*>(item) : nullptr;
}

TFiles* LibraryNode::entryOf(QTreeWidgetItem* item) {
    LibraryNode* node = of(item);
    return node ? node->entry() : nullptr;
}

}  // namespace library
