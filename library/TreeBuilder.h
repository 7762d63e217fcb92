#pragma once
// Builds the library tree's nodes for one view from the catalogue. Time is linear in the
// number of entries: children are indexed by parent id once, keeping list order, and
// each id's children are placed once, so parent ids that form a loop (or duplicate ids)
// never make the build run without end; entries of a loop are simply not shown.
// UI thread (creates tree items); the caller owns the returned nodes.
#include <QList>
#include <memory>
#include <vector>

#include "library/TFiles.h"

class QTreeWidgetItem;

namespace library {

using EntryList = std::vector<std::unique_ptr<TFiles>>;

class TreeBuilder {
public:
    static constexpr int OwnView = 0;
    static constexpr int SharedView = 1;

    // The top-level nodes for view `viewIndex` (0 own, 1 shared), with their subtrees,
    // not yet in any tree.
    static QList<QTreeWidgetItem*> BuildTree(const EntryList& entries, int viewIndex);

    // The distinct owner names of all entries in order of first appearance; names that
    // differ only in letter case count as one, spelled as first seen.
    static QList<QString> OwnerGroups(const EntryList& entries);
};

}  // namespace library
