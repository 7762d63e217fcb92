#include "library/LibraryTreeWidget.h"

#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <algorithm>
#include <functional>

namespace library {
namespace {

// Reports every confirmed edit; a cancelled edit never reaches setModelData.
class EditDelegate : public QStyledItemDelegate {
public:
    EditDelegate(LibraryTreeWidget* tree,
                 std::function<void(const QModelIndex&, const QString&)> onEdit)
        : QStyledItemDelegate(tree), onEdit_(std::move(onEdit)) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        QStyledItemDelegate::setModelData(editor, model, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        onEdit_(index, line ? line->text() : index.data(Qt::EditRole).toString());
    }

private:
    std::function<void(const QModelIndex&, const QString&)> onEdit_;
};

}  // namespace

LibraryTreeWidget::LibraryTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("tv1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    QFont treeFont(QStringLiteral("宋体"));
    treeFont.setPixelSize(14);
    setFont(treeFont);
    // The selection stays visible when the tree loses the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    setItemDelegate(new EditDelegate(this, [this](const QModelIndex& index, const QString& text) {
        if (QTreeWidgetItem* item = itemFromIndex(index)) emit edited(item, text);
    }));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryTreeWidget::onSelectionChanged);
}

void LibraryTreeWidget::onSelectionChanged(const QItemSelection& selected,
                                           const QItemSelection& deselected) {
    for (const QModelIndex& index : deselected.indexes()) selectedAt_.remove(itemFromIndex(index));
    if (selectionModel()->selection().isEmpty()) selectedAt_.clear();
    for (const QModelIndex& index : selected.indexes()) {
        if (QTreeWidgetItem* item = itemFromIndex(index)) selectedAt_.insert(item, nextStamp_++);
    }
}

QList<QTreeWidgetItem*> LibraryTreeWidget::selectedInOrder() const {
    QList<QTreeWidgetItem*> items = selectedItems();
    std::stable_sort(items.begin(), items.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return selectedAt_.value(a) < selectedAt_.value(b);
    });
    return items;
}

QTreeWidgetItem* LibraryTreeWidget::selectedNode() const {
    QTreeWidgetItem* current = currentItem();
    if (current && current->isSelected()) return current;
    const QList<QTreeWidgetItem*> items = selectedInOrder();
    return items.isEmpty() ? nullptr : items.last();
}

void LibraryTreeWidget::startEditing(QTreeWidgetItem* item) {
    if (!item) return;
    setFocus();
    setCurrentItem(item);
    editItem(item, 0);
}

}  // namespace library
