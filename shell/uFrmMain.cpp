#include "shell/uFrmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

#include "account/TLoginPanel.h"
#include "dwgviewx/TDwgViewX.h"
#include "library/TLibraryPane.h"
#include "notify/uThread.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ScreenGrab.h"
#include "platform/Shell.h"
#include "service/ucm.h"
#include "sharing/uFrmPublish.h"
#include "shell/ErrorReport.h"
#include "shell/PaneSplitter.h"
#include "shell/Settings.h"
#include "tasks/uFrmFileMsg.h"
#include "viewer/CaptureView.h"
#include "viewer/ViewerCommands.h"
#include "viewer/ViewerRules.h"

namespace {

const QString kFirstStatus = QStringLiteral("登录之后，您将拥有网盘和评审功能");
const QString kHelpSite = QStringLiteral("http://www.orvanecad.com/");

// A status-bar panel that asks for its design width but may shrink with the window.
class StatusPanel : public QLabel {
public:
    StatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {}
    QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

private:
    int width_;
};

}  // namespace

TFrmMain::TFrmMain(PollerStart startPoller, QWidget* parent)
    : QMainWindow(parent),
      commands_(std::make_unique<viewer::ViewerCommands>()),
      startPoller_(std::move(startPoller)) {
    if (!startPoller_)
        startPoller_ = [](const QString& account, const QString& fromDate) {
            TBackupThread::Start(account, fromDate);
        };
    buildFrame();
    // An error in a creation step skips the remaining steps; the window still opens.
    shell::runGuarded([this] { FormCreate(); });
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::buildFrame() {
    Q_INIT_RESOURCE(icons);  // the icons live in a static library
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("OrvaneCAD"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    setFont(QFont(QStringLiteral("微软雅黑"), 9));
    resize(1285, 639);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(1285 / 2, 639 / 2));
    }

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    pnlDoc = new library::TLibraryPane(*this, central);
    pnlDoc->setObjectName(QStringLiteral("pnlDoc"));
    pnlDoc->setFixedWidth(321);
    pnlLogin = new account::TLoginPanel(*this);
    pnlDoc->setLoginPanel(pnlLogin);
    pnlDoc->hide();
    spl1 = new shell::PaneSplitter(*pnlDoc, central);
    spl1->setObjectName(QStringLiteral("spl1"));
    spl1->hide();

    pnl1 = new QWidget(central);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    auto* column = new QVBoxLayout(pnl1);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolbar();
    column->addWidget(tbdck1);
    auto* work = new QHBoxLayout;
    work->setContentsMargins(0, 0, 0, 0);
    work->setSpacing(0);
    pnlRight = new QWidget(pnl1);
    pnlRight->setObjectName(QStringLiteral("pnlRight"));
    pnlRight->setFixedWidth(329);
    auto* rightLayout = new QVBoxLayout(pnlRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    work->addWidget(pnlRight);
    column->addLayout(work, 1);

    row->addWidget(pnlDoc);
    row->addWidget(spl1);
    row->addWidget(pnl1, 1);
    setCentralWidget(central);
    buildStatusBar();
}

QAction* TFrmMain::addItem(const char* name, const QString& caption, const char* icon,
                           std::function<void()> handler, QMenu* menu) {
    auto* item = new QAction(caption, this);
    item->setObjectName(QString::fromLatin1(name));
    if (icon) item->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    if (handler)
        connect(item, &QAction::triggered, this,
                shell::guarded([h = std::move(handler)](bool) { h(); }));
    if (menu)
        menu->addAction(item);
    else
        tbtlbr1->addAction(item);
    return item;
}

QMenu* TFrmMain::addDropDown(QAction*& item, const char* name, const QString& caption,
                             const char* icon) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    item = addItem(name, caption, icon, {});
    item->setMenu(menu);
    if (auto* button = qobject_cast<QToolButton*>(tbtlbr1->widgetForAction(item)))
        button->setPopupMode(QToolButton::InstantPopup);
    return menu;
}

void TFrmMain::onViewer(const std::function<void(dwgviewx::TDwgViewX&)>& op) {
    if (!Viewer) throw std::runtime_error("图纸查看器未能创建");
    op(*Viewer);
}

void TFrmMain::buildToolbar() {
    tbdck1 = new QWidget(pnl1);
    tbdck1->setObjectName(QStringLiteral("tbdck1"));
    auto* dock = new QVBoxLayout(tbdck1);
    dock->setContentsMargins(0, 0, 0, 0);
    tbtlbr1 = new QToolBar(tbdck1);
    tbtlbr1->setObjectName(QStringLiteral("tbtlbr1"));
    tbtlbr1->setMovable(false);
    tbtlbr1->setFloatable(false);
    tbtlbr1->setIconSize(QSize(48, 48));
    tbtlbr1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbtlbr1->setFixedHeight(75);
    dock->addWidget(tbtlbr1);
    auto& c = *commands_;
    auto view = [this](void (dwgviewx::TDwgViewX::*op)()) {
        return [this, op] { onViewer([op](dwgviewx::TDwgViewX& v) { (v.*op)(); }); };
    };
    using V = dwgviewx::TDwgViewX;

    tbtmFiles = addItem("tbtmFiles", QStringLiteral("网盘"), "files", [this] { tbtmFilesClick(); });
    tbtmOpen = addItem("tbtmOpen", QStringLiteral("打开"), "open", [&c] { c.tbtmOpenClick(); });
    localMenu = addDropDown(TBXSubmenuItem1, "TBXSubmenuItem1", QStringLiteral("本地"), "local");
    QMenu* zoom = addDropDown(tbxsbmntmzoom, "tbxsbmntmzoom", QStringLiteral("缩放"), "zoom");
    tbtmZoomWindow =
        addItem("tbtmZoomWindow", QStringLiteral("局部放大"), nullptr, view(&V::ZoomWindow), zoom);
    tbtmZoomIn = addItem("tbtmZoomIn", QStringLiteral("放大"), nullptr, view(&V::ZoomIn), zoom);
    tbtmZoomOut = addItem("tbtmZoomOut", QStringLiteral("缩小"), nullptr, view(&V::ZoomOut), zoom);
    tbtmFit = addItem("tbtmFit", QStringLiteral("适应"), nullptr, view(&V::ZoomFit), zoom);
    tbtmMovePan = addItem("tbtmMovePan", QStringLiteral("移动"), "pan", view(&V::Pan));
    tbtmLine = addItem("tbtmLine", QStringLiteral("画线"), "line", view(&V::MarkLine));
    QMenu* text = addDropDown(tbxsbmntmText, "tbxsbmntmText", QStringLiteral("文字"), "text");
    tbtmMark =
        addItem("tbtmMark", QStringLiteral("输入红字"), nullptr, view(&V::MarkRedText), text);
    tbtmRectText = addItem("tbtmRectText", QStringLiteral("方形文本框"), nullptr,
                           view(&V::MarkRectTextBox), text);
    tbtmCloudText = addItem("tbtmCloudText", QStringLiteral("云状文本框"), nullptr,
                            view(&V::MarkCloudTextBox), text);
    tbtmEclipseText = addItem("tbtmEclipseText", QStringLiteral("椭圆文本框"), nullptr,
                              view(&V::MarkEllipseTextBox), text);
    tbtmRect = addItem("tbtmRect", QStringLiteral("圆角文本框"), nullptr,
                       view(&V::MarkRoundTextBox), text);
    tbtmcl = addItem("tbtmcl", QStringLiteral("测量"), "measure", view(&V::Measure));
    tbtmRotate =
        addItem("tbtmRotate", QStringLiteral("旋转"), "rotate", [&c] { c.tbtmRotateClick(); });
    tbtmBkColor =
        addItem("tbtmBkColor", QStringLiteral("底色"), "bkcolor", [&c] { c.tbtmBkColorClick(); });
    tbtmLayer = addItem("tbtmLayer", QStringLiteral("图层"), "layer", view(&V::ShowLayers));
    tbtmPrint = addItem("tbtmPrint", QStringLiteral("打印"), "print", view(&V::PrintDrawing));
    tbtmTaskMsg =
        addItem("tbtmTaskMsg", QStringLiteral("任务"), "task", [this] { tbtmTaskMsgClick(); });
    tbtm2 = addItem("tbtm2", QStringLiteral("在线帮助"), "help", [this] { tbtm2Click(); });
}

void TFrmMain::buildStatusBar() {
    tbxstsbr1 = new QStatusBar(this);
    tbxstsbr1->setObjectName(QStringLiteral("tbxstsbr1"));
    tbxstsbr1->setSizeGripEnabled(false);
    statusPanel1 = new StatusPanel(800, tbxstsbr1);
    statusPanel1->setObjectName(QStringLiteral("tbxstsbr1Panel1"));
    statusPanel1->setText(kFirstStatus);
    statusPanel2 = new StatusPanel(300, tbxstsbr1);
    statusPanel2->setObjectName(QStringLiteral("tbxstsbr1Panel2"));
    tbxstsbr1->addWidget(statusPanel1);
    tbxstsbr1->addWidget(statusPanel2);
    setStatusBar(tbxstsbr1);
}

void TFrmMain::FormCreate() {
    if (ucm::LocalRoot().isEmpty()) ucm::setLocalRoot(platform::defaultLocalRoot());
    if (!QDir().mkpath(ucm::LocalRoot()))
        platform::dialogs().messageBox(
            QStringLiteral("为了保证能使用本地存储，请用管理员权限运行。"), QStringLiteral("提醒"),
            platform::Buttons::Ok, platform::Icon::Warning);
    DroppedFiles.clear();
    setAcceptDrops(true);
    pnlRight->hide();
    SettingsFile = std::make_unique<platform::IniFile>(
        platform::joinPath(ucm::LocalRoot(), QStringLiteral("set.ini")));
    createTaskList();
    ReadSettings();
    commands_->BuildLocalMenu(*localMenu);
    createViewer();
}

void TFrmMain::createTaskList() {
    FrmFileMsg = new TFrmFileMsg(pnlRight);
    FrmFileMsg->setObjectName(QStringLiteral("FrmFileMsg"));
    FrmFileMsg->setWindowFlags(Qt::Widget);
    pnlRight->layout()->addWidget(FrmFileMsg);
    FrmFileMsg->OnCaptureView = [this] {
        QImage bitmap;
        CaptureView(bitmap);
        return bitmap;
    };
    FrmFileMsg->show();
}

void TFrmMain::createViewer() {
    Viewer = new dwgviewx::TDwgViewX(pnl1);
    Viewer->setObjectName(QStringLiteral("Viewer"));
    Viewer->setFontPath(platform::programFolder() + QStringLiteral("DWGViewX_32bit") +
                        platform::separator() + QStringLiteral("Fonts"));
    // The viewer fills what the task pane leaves of the panel below the toolbar.
    if (auto* column = qobject_cast<QVBoxLayout*>(pnl1->layout()))
        if (auto* work = qobject_cast<QHBoxLayout*>(column->itemAt(1)->layout()))
            work->insertWidget(0, Viewer, 1);
    Viewer->setShowLayoutBar(false);
    Viewer->setShowToobar(false);
    Viewer->setEnableContextMenu(false);
    Viewer->show();
    commands_->setViewer(Viewer);
}

void TFrmMain::ReadSettings() {
    const shell::StoredSettings s =
        shell::ReadSettings(*SettingsFile, QDateTime::currentDateTime());
    commands_->recentFiles() = viewer::RecentFiles(s.recentFiles);
    MessageDate = s.messageDate;
    CadProgramPath = s.cadProgramPath;
    if (s.rememberLogin) {
        pnlLogin->edt1->setText(s.account);
        pnlLogin->edt2->setText(s.password);
        pnlLogin->tbxchckbx1->setChecked(true);
    }
}

void TFrmMain::SaveRecentFiles() {
    shell::SaveRecentFiles(*SettingsFile, commands_->recentFiles().paths());
}

void TFrmMain::SaveSettings() {
    shell::SettingsToSave v;
    v.rememberLogin = pnlLogin->tbxchckbx1->isChecked();
    v.messageDate = MessageDate;
    v.cadProgramPath = CadProgramPath;
    v.loggedIn = !ucm::CurrentUserId().isEmpty();
    v.account = pnlLogin->edt1->text();
    v.password = pnlLogin->edt2->text();
    shell::SaveSettings(*SettingsFile, v);
}

void TFrmMain::FormShow() {
    startPoller_(pnlLogin->edt1->text(), MessageDate);
}

void TFrmMain::FormDestroy() {
    pnlDoc->UploadChanges();
    if (SettingsFile) {
        SaveRecentFiles();
        SaveSettings();
    }
    DroppedFiles.clear();
    SettingsFile.reset();
}

void TFrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    shell::runGuarded([this] { FormShow(); });
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    if (!destroyed_) {
        destroyed_ = true;
        shell::runGuarded([this] { FormDestroy(); });
    }
    event->accept();
}

void TFrmMain::tbtmFilesClick() {
    spl1->setVisible(spl1->isHidden());
    pnlDoc->setVisible(pnlDoc->isHidden());
    applyLoginState();
}

void TFrmMain::tbtm2Click() {
    platform::shell().open(kHelpSite);
}

void TFrmMain::tbtmTaskMsgClick() {
    if (ucm::CurrentUserId().isEmpty()) {
        platform::dialogs().messageBox(QStringLiteral("请先登录。云存储的图纸才能使用任务管理。"),
                                       QStringLiteral("提示"), platform::Buttons::Ok,
                                       platform::Icon::Information);
        return;
    }
    pnlRight->setVisible(pnlRight->isHidden());
    if (!pnlRight->isHidden() && pnlDoc->CurrentEntry())
        FrmFileMsg->LoadFileMsgs(pnlDoc->CurrentEntry()->FileId);
}

void TFrmMain::CaptureView(QImage& bitmap) {
    if (!Viewer) return;
    viewer::CaptureView(bitmap, Viewer->frameGeometry().size(), Viewer->mapToGlobal(QPoint(0, 0)),
                        platform::screenGrab());
}

void TFrmMain::openDrawing(const QString& path) {
    onViewer([&](auto& v) { v.OpenDrawing(path); });
}

bool TFrmMain::taskPaneVisible() const {
    return !pnlRight->isHidden();
}

void TFrmMain::reloadTasks(const QString& fileId) {
    if (FrmFileMsg) FrmFileMsg->LoadFileMsgs(fileId);
}

void TFrmMain::showSharing() {
    TFrmPublish dialog(this);
    dialog.exec();
}

void TFrmMain::setStatusText(const QString& text) {
    statusPanel1->setText(text);
}

QString TFrmMain::statusText() const {
    return statusPanel1->text();
}

void TFrmMain::applyLoginState() {
    pnlLogin->setVisible(ucm::CurrentUserId().isEmpty());
    pnlDoc->applyLoginState();
}

void TFrmMain::openUserLibrary(const QString& userFolder) {
    UserFolder = userFolder;
    pnlDoc->LoadCatalogue();
}

void TFrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFrmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFrmMain::dropEvent(QDropEvent* event) {
    DroppedFiles.clear();
    // Paths are kept whole: a long path cut short would name another file or none.
    for (const QUrl& url : event->mimeData()->urls())
        DroppedFiles.append(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                              : url.toString());
    const QPoint pointer = mapToGlobal(event->position().toPoint());
    event->acceptProposedAction();
    // Act once the drop is released, so a message box never holds the dragging program.
    QTimer::singleShot(0, this, shell::guarded([this, pointer] { handleDrop(pointer); }));
}

void TFrmMain::handleDrop(QPoint pointer) {
    const QPoint outer = frameGeometry().topLeft();
    const QRect viewerPanel(pnl1->mapTo(this, QPoint(0, 0)), pnl1->size());
    QRect tree;
    if (auto* tv1 = pnlDoc->findChild<QWidget*>(QStringLiteral("tv1")))
        tree = QRect(tv1->mapTo(pnlDoc, QPoint(0, 0)), tv1->size());
    const viewer::DropAreas areas = viewer::classifyDrop(pointer, outer, viewerPanel, tree);
    const QStringList files = DroppedFiles;
    if (areas.viewer && !files.isEmpty()) commands_->OpenLocalFile(files.first());
    if (areas.tree) pnlDoc->ImportFiles(files);
}
