#pragma once
// Import of drawings: each path becomes a new drawing entry pointing at the file where
// it lies (nothing is copied or sent) with a node in the tree. UI thread only.
#include <QString>
#include <QStringList>

#include "library/TreeBuilder.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace library {

class Importer {
public:
    Importer(EntryList& entries, QTreeWidget& tree) : entries_(entries), tree_(tree) {}

    // ImportFiles: adds `paths` as new drawings under the target folder found from
    // `selected` (a folder, or the folder of a selected drawing); without a target, beside
    // `selected` or at the top level. Extensions are not looked at. The caller checks the
    // login first.
    void importFiles(QTreeWidgetItem* selected, const QStringList& paths);

    // The paths of an import dialog's answer that end in ".dwg", in any letter case.
    static QStringList dwgPathsOnly(const QStringList& chosen);

private:
    EntryList& entries_;
    QTreeWidget& tree_;
};

}  // namespace library
