#pragma once
// The tree view `tv1`: multi-selection with Ctrl and Shift, selection kept visible
// without focus, 19-pixel indent, in-place editing of a node's text, and the order in
// which nodes were selected. Owned by the library pane; UI thread only.
#include <QHash>
#include <QList>
#include <QTreeWidget>

namespace library {

class LibraryTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit LibraryTreeWidget(QWidget* parent = nullptr);

    // The selected node: the current node when it is selected, otherwise the node
    // selected last; nullptr when nothing is selected.
    QTreeWidgetItem* selectedNode() const;
    // The selected nodes in the order they were selected (first selected first).
    QList<QTreeWidgetItem*> selectedInOrder() const;
    // Opens the in-place editor on `item` (tree focus first).
    void startEditing(QTreeWidgetItem* item);

signals:
    // The user confirmed an in-place edit (changed or not); the node already shows `text`.
    void edited(QTreeWidgetItem* item, const QString& text);

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    // When each selected node was selected; only looked up for nodes Qt reports selected.
    QHash<const QTreeWidgetItem*, quint64> selectedAt_;
    quint64 nextStamp_ = 0;
};

}  // namespace library
