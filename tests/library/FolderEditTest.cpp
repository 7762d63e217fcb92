// Folder editing in the pane: new folders beside and under nodes, renaming in place and
// by dialog, deleting selections, and the marks these leave for the upload.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "library/EntryNames.h"
#include "library/LibraryNode.h"
#include "library/LibraryTreeWidget.h"
#include "tests/library/LibraryFixtures.h"
#include "tests/library/PaneFixture.h"

using library::LibraryNode;
using testlib::PaneTest;

namespace {

// The in-place editor now open; closed editors are flushed first (they go by deleteLater).
QLineEdit* openEditor(QTreeWidget* tree) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return tree->findChild<QLineEdit*>();
}

bool isClientGuid(const QString& id) {
    static const QRegularExpression form(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    return form.match(id).hasMatch();
}

}  // namespace

TEST_F(PaneTest, NewFolderGoesBesideTheSelectedNodeOrToTheTopLevel) {
    const std::string a = addFolder("", "A");
    addFolder(a, "B");
    load();
    selectNothing();
    trigger("bbAdd");
    EXPECT_EQ(outline(), "A[B],新建文件夹");
    library::TFiles* made = pane->FileList().back().get();
    EXPECT_TRUE(isClientGuid(made->FileId)) << made->FileId.toStdString();
    EXPECT_EQ(made->ItemType, "0");
    EXPECT_EQ(made->ChangeState, 1);
    EXPECT_EQ(made->Flag, 0);
    EXPECT_TRUE(made->Pid.isEmpty());

    select("A");  // a top-level node: the new folder is top-level too
    trigger("bbAdd");
    EXPECT_EQ(outline(), "A[B],新建文件夹,新建文件夹");

    select("B");  // nested: under the same parent, as its last child
    trigger("bbAdd");
    EXPECT_EQ(outline(), "A[B,新建文件夹],新建文件夹,新建文件夹");
    EXPECT_EQ(pane->FileList().back()->Pid, QString::fromStdString(a));
    EXPECT_EQ(pane->FileList().size(), 5u);
}

TEST_F(PaneTest, NewSubFolderGoesUnderAnyEntryButNeedsASelection) {
    const std::string a = addFolder("", "A");
    addDrawing(a, "d.dwg");
    load();
    selectNothing();
    trigger("tbtmAddSub");
    EXPECT_EQ(pane->FileList().size(), 2u);
    select("d.dwg");
    trigger("tbtmAddSub");
    EXPECT_EQ(outline(), "A[d.dwg[新建文件夹]]");
    EXPECT_TRUE(node("d.dwg")->isExpanded());
    EXPECT_EQ(pane->FileList().back()->Pid, entryNamed("d.dwg")->FileId);
}

TEST_F(PaneTest, RenameInPlaceMarksTheEntryEvenWithTheSameText) {
    addFolder("", "Old");
    load();
    select("Old");
    trigger("TBXEdit");
    auto* editor = openEditor(pane->tree());
    ASSERT_NE(editor, nullptr);
    editor->setText("Renamed");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_NE(node("Renamed"), nullptr) << outline().toStdString();
    EXPECT_EQ(entryNamed("Renamed")->ChangeState, 3);

    entryNamed("Renamed")->ChangeState = 0;
    select("Renamed");
    trigger("TBXEdit");
    editor = openEditor(pane->tree());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);  // unchanged text, confirmed
    QApplication::processEvents();
    EXPECT_EQ(entryNamed("Renamed")->ChangeState, 3);
}

TEST_F(PaneTest, RenameInPlaceCancelledChangesNothingAndDrawingsAreNotOpened) {
    const std::string a = addFolder("", "Old");
    addDrawing(a, "d.dwg");
    load();
    select("Old");
    trigger("TBXEdit");
    auto* editor = openEditor(pane->tree());
    ASSERT_NE(editor, nullptr);
    editor->setText("Other");
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_NE(node("Old"), nullptr);
    EXPECT_EQ(entryNamed("Old")->ChangeState, 0);

    select("d.dwg");
    trigger("TBXEdit");
    QApplication::processEvents();
    EXPECT_EQ(openEditor(pane->tree()), nullptr);
}

TEST_F(PaneTest, RenameByDialogMarksEvenWhenCancelledAndAcceptsEmptyText) {
    addFolder("", "Folder");
    load();
    select("Folder");
    trigger("tbtmModify");  // cancelled: the preset comes back
    ASSERT_EQ(dialogs.inputs().size(), 1u);
    EXPECT_EQ(dialogs.inputs()[0].caption, "输入框");
    EXPECT_EQ(dialogs.inputs()[0].prompt, "请输入文件夹新名称：");
    EXPECT_EQ(dialogs.inputs()[0].preset, "Folder");
    EXPECT_EQ(entryNamed("Folder")->ChangeState, 3);

    dialogs.inputNext(QStringLiteral("Plans"));
    trigger("N1");
    EXPECT_EQ(node("Plans")->text(0), "Plans");
    EXPECT_EQ(entryNamed("Plans")->ChangeState, 3);
}

TEST_F(PaneTest, RenamingANewFolderKeepsItNewSoItsCommitCarriesTheName) {
    load();
    trigger("bbAdd");
    select("新建文件夹");
    dialogs.inputNext(QStringLiteral("Projects"));
    trigger("tbtmModify");
    EXPECT_EQ(entryNamed("Projects")->ChangeState, 1);
}

TEST_F(PaneTest, DeleteRemovesTheBranchAndMarksOnlyTheSelectedEntries) {
    const std::string a = addFolder("", "A");
    const std::string b = addFolder(a, "B");
    addDrawing(b, "inner.dwg");
    addFolder("", "C");
    load();
    select("A");
    trigger("tbtmDel");
    EXPECT_EQ(outline(), "C");
    EXPECT_EQ(entryNamed("A")->ChangeState, 2);
    EXPECT_EQ(entryNamed("B")->ChangeState, 0);
    EXPECT_EQ(entryNamed("inner.dwg")->ChangeState, 0);
    EXPECT_EQ(pane->FileList().size(), 4u);  // entries stay until the next load
}

TEST_F(PaneTest, DeletingNestedSelectionsTouchesNoRemovedNodeTwice) {
    const std::string a = addFolder("", "A");
    addFolder(a, "B");
    addFolder("", "C");
    load();
    QTreeWidget* tree = pane->tree();
    tree->clearSelection();
    // Select the child after its parent: the child goes first, then the parent.
    node("A")->setSelected(true);
    node("B")->setSelected(true);
    node("C")->setSelected(true);
    tree->setCurrentItem(node("C"), 0, QItemSelectionModel::NoUpdate);
    trigger("N2");
    EXPECT_EQ(outline(), "");
    EXPECT_EQ(entryNamed("A")->ChangeState, 2);
    EXPECT_EQ(entryNamed("B")->ChangeState, 2);
    EXPECT_EQ(entryNamed("C")->ChangeState, 2);

    // Parent selected after its child: the parent goes first and takes the child along.
    load();
    tree->clearSelection();
    node("B")->setSelected(true);
    node("A")->setSelected(true);
    trigger("tbtmDel");
    EXPECT_EQ(outline(), "C");
    EXPECT_EQ(entryNamed("A")->ChangeState, 2);
    EXPECT_EQ(entryNamed("B")->ChangeState, 0);
}

TEST_F(PaneTest, SelectionOrderIsTheOrderOfSelecting) {
    addFolder("", "A");
    addFolder("", "B");
    addFolder("", "C");
    load();
    auto* tree = static_cast<library::LibraryTreeWidget*>(pane->tree());
    tree->clearSelection();
    node("C")->setSelected(true);
    node("A")->setSelected(true);
    node("B")->setSelected(true);
    QStringList order;
    for (QTreeWidgetItem* item : tree->selectedInOrder()) order << item->text(0);
    EXPECT_EQ(order, QStringList({"C", "A", "B"}));
    node("A")->setSelected(false);
    node("A")->setSelected(true);
    order.clear();
    for (QTreeWidgetItem* item : tree->selectedInOrder()) order << item->text(0);
    EXPECT_EQ(order, QStringList({"C", "B", "A"}));
}
