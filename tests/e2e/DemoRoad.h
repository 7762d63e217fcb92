#pragma once
// The road a person takes after cloning the project: scripts/run seeds the stand-in
// service with the demo drawings the project generates and starts the client, the
// person logs in as the demo user and reviews a drawing. This fixture does the same
// in-process: the service on a free loopback port with a temporary data folder, the
// real main window offscreen on a temporary local folder, and the dialog and shell
// doubles; the message poller thread runs only where a test starts it. UI thread only.
#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <memory>

#include "platform/testing/FakeDialogs.h"
#include "platform/testing/FakeShell.h"
#include "server/ReviewServer.h"
#include "shell/uFrmMain.h"

class QAction;
class QDialog;
class QTreeWidget;
class QTreeWidgetItem;

namespace e2e {

// The demo login as scripts/run prints it for the person at the terminal.
struct PrintedLogin {
    QString phone;
    QString password;
    QString secondPhone;  // same password
};
// Reads the login lines of scripts/run; empty fields when a line is missing.
PrintedLogin loginPrintedByRunScript();

class DemoRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What scripts/run does before it serves, at every run: the generator writes the
    // demo drawings and "orvane-server admin --data DIR seed-demo --drawings DIR" puts
    // them into the data folder. Returns the command's exit code.
    int seedAsRunScriptDoes();
    // Serves the data folder on a free loopback port and points the client at it.
    void startService();
    void stopService();

    // A new main window, shown, as at a program start. Replaces the one before. The
    // message poller is only recorded in pollerStarts unless `poller` is given.
    TFrmMain& startClient(TFrmMain::PollerStart poller = {});
    // Closes the window as the person does at the end of a session and drops it;
    // the login values go with the process, as they do when the program ends.
    void endSession();

    // Types into the login panel and presses "登录".
    void logIn(const QString& phone, const QString& password);

    QTreeWidget* tree() const;
    // The first tree node showing `text` at any depth, or nullptr.
    QTreeWidgetItem* node(const QString& text) const;
    // The texts of the children of `parent` (top-level nodes for nullptr).
    QStringList childTexts(QTreeWidgetItem* parent) const;
    // Every drawing shown in the tree, at any depth.
    QStringList drawingsShown() const;
    // Clicks "我的图纸" (0) or "共享图纸" (1).
    void chooseView(int index);
    // Clicks `item` to select it, then double-clicks it, with the mouse.
    void doubleClick(QTreeWidgetItem* item);
    void select(QTreeWidgetItem* item);
    QAction* libraryAction(const char* name) const;
    // Shows the view that lists `drawing` and returns its node (nullptr if neither does).
    QTreeWidgetItem* findDrawingInEitherView(const QString& drawing);

    // Drawing files fetched from the service so far.
    int drawingDownloads() const { return downloads_->load(); }

    QTemporaryDir data;       // the service's data folder
    QTemporaryDir generated;  // the demo drawings as the generator writes them
    QTemporaryDir localRoot;  // the client's LocalRoot
    std::unique_ptr<server::ReviewServer> server;
    platform::testing::FakeDialogs dialogs;
    platform::testing::FakeShell shell;
    std::unique_ptr<TFrmMain> window;
    QStringList pollerStarts;

private:
    std::unique_ptr<platform::testing::InstallDialogs> installDialogs_;
    std::unique_ptr<platform::testing::InstallShell> installShell_;
    std::shared_ptr<std::atomic<int>> downloads_ = std::make_shared<std::atomic<int>>(0);
};

// Lets a test play the person in front of the dialogs the task list opens modally,
// for the guard's lifetime.
class ModalAnswers {
public:
    explicit ModalAnswers(std::function<int(QDialog&)> person);
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;
};

}  // namespace e2e
