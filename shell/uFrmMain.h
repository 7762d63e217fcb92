#pragma once
// The main window: the library pane with the login panel, the main toolbar, the
// viewer, the task pane and the status bar, and the order of start and stop.
// Lives for the whole run on the UI thread; owns every pane, the viewer, the task
// list and the settings file.
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "account/LoginHost.h"
#include "library/LibraryHost.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class TFrmFileMsg;

namespace account {
class TLoginPanel;
}
namespace dwgviewx {
class TDwgViewX;
}
namespace library {
class TLibraryPane;
}
namespace platform {
class IniFile;
}
namespace viewer {
class ViewerCommands;
}

class TFrmMain : public QMainWindow, public library::LibraryHost, public account::LoginHost {
    Q_OBJECT
public:
    // Starts the message poller with the account text and the message date; the
    // program's default starts TBackupThread. Tests pass their own.
    using PollerStart = std::function<void(const QString& account, const QString& fromDate)>;

    // Builds the frame and runs FormCreate; the window stays hidden until shown.
    explicit TFrmMain(PollerStart startPoller = {}, QWidget* parent = nullptr);
    ~TFrmMain() override;

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void ReadSettings();
    void SaveRecentFiles();
    void SaveSettings();

    void tbtmFilesClick();    // "网盘"
    void tbtm2Click();        // "在线帮助"
    void tbtmTaskMsgClick();  // "任务"
    // Fills `bitmap` with the screen area of the viewer, scaled 1.5 times (never fails).
    void CaptureView(QImage& bitmap);

    // LibraryHost.
    void openDrawing(const QString& path) override;
    bool taskPaneVisible() const override;
    void reloadTasks(const QString& fileId) override;
    QString cadProgramPath() const override { return CadProgramPath; }
    void setCadProgramPath(const QString& path) override { CadProgramPath = path; }
    void showSharing() override;

    // LoginHost.
    void setStatusText(const QString& text) override;
    void applyLoginState() override;
    void openUserLibrary(const QString& userFolder) override;

    // The first status panel's text.
    QString statusText() const;
    viewer::ViewerCommands& viewerCommands() { return *commands_; }

    // Members in their documented order.
    dwgviewx::TDwgViewX* Viewer = nullptr;
    std::unique_ptr<platform::IniFile> SettingsFile;
    QString UserFolder;
    QStringList DroppedFiles;
    QString MessageDate;
    QString CadProgramPath;
    TFrmFileMsg* FrmFileMsg = nullptr;

    // Controls.
    library::TLibraryPane* pnlDoc = nullptr;
    account::TLoginPanel* pnlLogin = nullptr;
    QWidget* spl1 = nullptr;
    QWidget* pnl1 = nullptr;
    QWidget* tbdck1 = nullptr;
    QToolBar* tbtlbr1 = nullptr;
    QWidget* pnlRight = nullptr;
    QStatusBar* tbxstsbr1 = nullptr;
    QLabel* statusPanel1 = nullptr;
    QLabel* statusPanel2 = nullptr;
    QAction* tbtmFiles = nullptr;
    QAction* tbtmOpen = nullptr;
    QAction* TBXSubmenuItem1 = nullptr;  // "本地"
    QMenu* localMenu = nullptr;
    QAction* tbxsbmntmzoom = nullptr;
    QAction* tbtmZoomWindow = nullptr;
    QAction* tbtmZoomIn = nullptr;
    QAction* tbtmZoomOut = nullptr;
    QAction* tbtmFit = nullptr;
    QAction* tbtmMovePan = nullptr;
    QAction* tbtmLine = nullptr;
    QAction* tbxsbmntmText = nullptr;
    QAction* tbtmMark = nullptr;
    QAction* tbtmRectText = nullptr;
    QAction* tbtmCloudText = nullptr;
    QAction* tbtmEclipseText = nullptr;
    QAction* tbtmRect = nullptr;
    QAction* tbtmcl = nullptr;
    QAction* tbtmRotate = nullptr;
    QAction* tbtmBkColor = nullptr;
    QAction* tbtmLayer = nullptr;
    QAction* tbtmPrint = nullptr;
    QAction* tbtmTaskMsg = nullptr;
    QAction* tbtm2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildFrame();
    void buildToolbar();
    void buildStatusBar();
    void createTaskList();
    void createViewer();
    // Adds a toolbar item (or a drop-down item when `menu` is given) bound to `handler`.
    QAction* addItem(const char* name, const QString& caption, const char* icon,
                     std::function<void()> handler, QMenu* menu = nullptr);
    QMenu* addDropDown(QAction*& item, const char* name, const QString& caption, const char* icon);
    // Runs a viewer operation on the viewer (a clear error when it was never created).
    void onViewer(const std::function<void(dwgviewx::TDwgViewX&)>& op);
    // The drop's actions, after the drop itself has been released.
    void handleDrop(QPoint pointer);

    std::unique_ptr<viewer::ViewerCommands> commands_;
    PollerStart startPoller_;
    bool shown_ = false;
    bool destroyed_ = false;
};
