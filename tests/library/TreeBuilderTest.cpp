// Building the tree for both views from a catalogue: order, hidden entries, owner groups
// with case folding, loops, and the state images.
#include <gtest/gtest.h>

#include <QTreeWidgetItem>

#include "library/LibraryNode.h"
#include "library/StateImages.h"
#include "library/TreeBuilder.h"
#include "tests/library/LibraryFixtures.h"

using library::EntryList;
using library::TreeBuilder;
using testlib::entry;

namespace {

QString build(const EntryList& list, int view) {
    const QList<QTreeWidgetItem*> items = TreeBuilder::BuildTree(list, view);
    const QString text = testlib::outline(items);
    qDeleteAll(items);
    return text;
}

EntryList ownFolders() {
    EntryList list;
    list.push_back(entry("a", "", "A"));
    list.push_back(entry("b", "a", "B"));
    list.push_back(entry("c", "", "C"));
    list.push_back(entry("d", "b", "D", "1"));
    list.push_back(entry("e", "a", "E", "1"));
    return list;
}

}  // namespace

TEST(TreeBuilderTest, OwnViewNestsChildrenInListOrder) {
    EXPECT_EQ(build(ownFolders(), 0), "A[B[D],E],C");
}

TEST(TreeBuilderTest, DeletedFolderHidesItsWholeBranch) {
    EntryList list = ownFolders();
    list[1]->ChangeState = 2;  // B
    EXPECT_EQ(build(list, 0), "A[E],C");
}

TEST(TreeBuilderTest, EmptyCatalogueGivesEmptyTreesInBothViews) {
    EntryList list;
    EXPECT_EQ(build(list, 0), "");
    EXPECT_EQ(build(list, 1), "");
}

TEST(TreeBuilderTest, OrphansAndEntriesUnderTheOtherViewAreHidden) {
    EntryList list;
    list.push_back(entry("s1", "", "Shared", "0", 1, "Bob"));
    list.push_back(entry("s2", "missing", "Orphan", "1", 1, "Bob"));
    list.push_back(entry("o1", "s1", "OwnUnderShared", "0", 0));
    list.push_back(entry("o2", "", "Mine", "0", 0));
    EXPECT_EQ(build(list, 0), "Mine");
    EXPECT_EQ(build(list, 1), "Bob[Shared],");
}

TEST(TreeBuilderTest, SharedViewGroupsByOwnerFoldingLetterCase) {
    EntryList list;
    list.push_back(entry("1", "", "One", "1", 1, "Bob"));
    list.push_back(entry("2", "", "Two", "1", 1, "BOB"));
    list.push_back(entry("3", "", "Three", "0", 1, "Carol"));
    list.push_back(entry("4", "3", "Four", "1", 1, "Carol"));
    list.push_back(entry("5", "", "Five", "1", 1, "bob"));
    // One group "Bob" spelled as first seen; only entries spelled exactly so sit under it.
    EXPECT_EQ(build(list, 1), "Bob[One],Carol[Three[Four]]");
}

TEST(TreeBuilderTest, SharedViewMakesGroupsForOwnAndClientEntriesToo) {
    EntryList list;
    list.push_back(entry("1", "", "Mine", "0", 0, "Alice"));
    list.push_back(entry("2", "", "New", "0", 0, ""));
    list.push_back(entry("3", "", "Odd", "1", 5, "Dave"));
    list.push_back(entry("4", "", "Theirs", "1", 1, "Bob", 2));
    // Every name gives a group, whatever the Flag or ChangeState of its entries; an empty
    // name gives a group with an empty text; Flag 5 shows in neither view.
    EXPECT_EQ(build(list, 1), "Alice,,Dave,Bob");
    EXPECT_EQ(build(list, 0), "Mine,New");
}

TEST(TreeBuilderTest, ParentLoopsAreNotShownAndDoNotHang) {
    EntryList list;
    list.push_back(entry("x", "y", "X"));
    list.push_back(entry("y", "x", "Y"));
    list.push_back(entry("self", "self", "Self"));
    list.push_back(entry("top", "", "Top"));
    list.push_back(entry("", "", "EmptyId"));  // its children would be the top level again
    list.push_back(entry("dup", "top", "Dup1"));
    list.push_back(entry("dup", "dup", "Dup2"));  // a duplicate id that names itself as parent
    EXPECT_EQ(build(list, 0), "Top[Dup1[Dup2]],EmptyId");
    list.push_back(entry("s", "", "S", "0", 1, "Bob"));
    list.push_back(entry("", "", "SharedEmptyId", "0", 1, "Bob"));
    EXPECT_EQ(build(list, 1), ",Bob[S,SharedEmptyId]");
}

TEST(TreeBuilderTest, DeepChainsBuildWithoutExhaustingTheStack) {
    EntryList list;
    constexpr int depth = 50000;
    for (int i = 0; i < depth; ++i) {
        list.push_back(entry(QString::number(i), i ? QString::number(i - 1) : QString(), "n"));
    }
    const QList<QTreeWidgetItem*> items = TreeBuilder::BuildTree(list, 0);
    ASSERT_EQ(items.size(), 1);
    int levels = 0;
    for (QTreeWidgetItem* node = items.first(); node; node = node->child(0)) ++levels;
    EXPECT_EQ(levels, depth);
    // Tear down iteratively as well: detach the chain from the bottom up.
    QTreeWidgetItem* node = items.first();
    std::vector<QTreeWidgetItem*> chain;
    for (; node; node = node->childCount() ? node->child(0) : nullptr) chain.push_back(node);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) delete *it;
}

TEST(TreeBuilderTest, StateImagesFollowKindLocalStateAndChanges) {
    using library::StateImageIndex;
    library::TFiles folder;
    folder.ItemType = "0";
    EXPECT_EQ(StateImageIndex(nullptr), 7);
    EXPECT_EQ(StateImageIndex(&folder), 2);
    folder.ItemType = "7";  // anything but "1" is a folder
    EXPECT_EQ(StateImageIndex(&folder), 2);
    library::TFiles drawing;
    drawing.ItemType = "1";
    drawing.LocalState = 1;
    EXPECT_EQ(StateImageIndex(&drawing), 10);
    drawing.LocalState = 2;
    EXPECT_EQ(StateImageIndex(&drawing), 9);
    drawing.LocalState = 3;
    EXPECT_EQ(StateImageIndex(&drawing), 9);
    drawing.LocalModified = true;
    EXPECT_EQ(StateImageIndex(&drawing), 11);
}

TEST(TreeBuilderTest, StateImageListHoldsTwelveSixteenPixelImages) {
    for (int i = 1; i < library::StateImages::Count; ++i) {
        const QImage image = library::StateImages::image(i);
        EXPECT_EQ(image.size(), QSize(16, 16)) << i;
    }
    EXPECT_TRUE(library::StateImages::image(0).isNull());
    EXPECT_TRUE(library::StateImages::image(12).isNull());
    // The pictures the tree uses differ from each other.
    const QList<int> used{2, 7, 9, 10, 11};
    for (int a : used) {
        for (int b : used) {
            if (a < b) {
                EXPECT_NE(library::StateImages::image(a), library::StateImages::image(b));
            }
        }
    }
}

TEST(TreeBuilderTest, NodesDrawTheirStateImageFromTheEntryAtEachAsk) {
    library::TFiles drawing;
    drawing.ItemType = "1";
    drawing.LocalState = 3;
    library::LibraryNode node("d", &drawing);
    const QIcon before = qvariant_cast<QIcon>(node.data(0, Qt::DecorationRole));
    drawing.LocalModified = true;
    const QIcon after = qvariant_cast<QIcon>(node.data(0, Qt::DecorationRole));
    EXPECT_EQ(before.pixmap(16).toImage(), library::StateImages::image(9));
    EXPECT_EQ(after.pixmap(16).toImage(), library::StateImages::image(11));
}
