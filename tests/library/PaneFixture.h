#pragma once
// A real library pane against the stand-in service in-process on loopback, with a
// temporary local root, a logged-in user, a recording host and the dialog and shell
// doubles.
#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

#include "library/LibraryHost.h"
#include "library/TLibraryPane.h"
#include "platform/testing/FakeDialogs.h"
#include "platform/testing/FakeShell.h"
#include "server/ReviewServer.h"

class QAction;
class QTreeWidgetItem;

namespace testlib {

struct RecordingHost : library::LibraryHost {
    void openDrawing(const QString& path) override {
        opened << path;
        if (failOpen && !path.isEmpty()) throw std::runtime_error("cannot show the drawing");
    }
    bool taskPaneVisible() const override { return tasksVisible; }
    void reloadTasks(const QString& fileId) override { taskLoads << fileId; }
    QString cadProgramPath() const override { return cadProgram; }
    void setCadProgramPath(const QString& path) override { cadProgram = path; }
    void showSharing() override { ++sharingShown; }

    QStringList opened;
    QStringList taskLoads;
    bool tasksVisible = false;
    bool failOpen = false;
    QString cadProgram;
    int sharingShown = 0;
};

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Seeds the service.
    std::string addFolder(const std::string& pid, const std::string& name, int64_t owner = -1);
    std::string addDrawing(const std::string& pid, const std::string& name,
                           const QByteArray& content = "DWG-bytes", int64_t owner = -1);
    int64_t addUser(const std::string& phone, const std::string& name);

    // A small file standing in for a drawing (the library does not parse drawings).
    QString makeDwg(const QString& name, const QByteArray& content = "AC1015 test drawing");
    QString userFolder() const;

    void load();
    QAction* action(const char* name) const;
    void trigger(const char* name);
    // The node whose text is `text` (first found, depth first), or nullptr.
    QTreeWidgetItem* node(const QString& text) const;
    // Makes `text`'s node the only selected and current node.
    void select(const QString& text);
    void selectNothing();
    library::TFiles* entryNamed(const QString& name) const;
    void chooseView(int index);
    QString outline() const;

    QTemporaryDir dataDir;
    QTemporaryDir localRoot;
    QTemporaryDir disk;  // where the user's own files lie
    std::unique_ptr<server::ReviewServer> server;
    int64_t userId = 0;
    platform::testing::FakeDialogs dialogs;
    platform::testing::FakeShell shell;
    std::unique_ptr<platform::testing::InstallDialogs> installDialogs;
    std::unique_ptr<platform::testing::InstallShell> installShell;
    RecordingHost host;
    std::unique_ptr<library::TLibraryPane> pane;
};

}  // namespace testlib
