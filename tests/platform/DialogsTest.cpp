#include "platform/Dialogs.h"
#include "tests/platform/GuiApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// Presses a button of the box that opens next, as a user would.
void pressInNextBox(QMessageBox::StandardButton which) {
    QTimer::singleShot(0, [which] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(which)->click();
    });
}

TEST(QtFilter, TurnsDescriptionPatternPairsIntoQtFilters) {
    EXPECT_EQ(platform::qtFilterFromPairs(QStringLiteral("图纸|*.dwg")),
              QStringLiteral("图纸 (*.dwg)"));
    EXPECT_EQ(platform::qtFilterFromPairs("Pictures|*.jpg;*.bmp|All|*.*"),
              "Pictures (*.jpg *.bmp);;All (*.*)");
    EXPECT_EQ(platform::qtFilterFromPairs(""), "");
}

TEST(QtDialogs, ReportsTheButtonThatWasPressed) {
    platformtest::guiApp();
    pressInNextBox(QMessageBox::Yes);
    EXPECT_EQ(platform::dialogs().messageBox("Delete?", "提示", platform::Buttons::YesNo,
                                             platform::Icon::Question),
              platform::Answer::Yes);
    pressInNextBox(QMessageBox::Cancel);
    EXPECT_EQ(platform::dialogs().messageBox("Go on?", "提示", platform::Buttons::OkCancel,
                                             platform::Icon::None),
              platform::Answer::Cancel);
}

TEST(QtDialogs, GivesThePresetWhenAnInputBoxIsCancelled) {
    platformtest::guiApp();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    EXPECT_EQ(platform::dialogs().inputBox("Name", "New name:", "old"), "old");
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue("typed");
        dialog->accept();
    });
    EXPECT_EQ(platform::dialogs().inputQuery("Name", "New name:", "old"),
              std::optional<QString>("typed"));
}

}  // namespace
