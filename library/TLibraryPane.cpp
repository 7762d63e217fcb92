#include "library/TLibraryPane.h"

#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "library/CatalogueLoader.h"
#include "library/ExternalCad.h"
#include "library/FolderEditing.h"
#include "library/Importer.h"
#include "library/LibraryNode.h"
#include "library/LibraryTreeWidget.h"
#include "library/LocalCopies.h"
#include "library/TreeBuilder.h"
#include "library/Uploader.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "service/ucm.h"

namespace library {
namespace {

const QString kAppTitle = QStringLiteral("OrvaneCAD");
const QString kNotice = QStringLiteral("提示");

// The default error report's text: a "." is added unless the message already ends in a
// character that sorts at or before it.
QString reportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

// Keeps the tree from repainting while a command runs, whichever way it ends.
class PaintPause {
public:
    explicit PaintPause(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~PaintPause() { widget_->setUpdatesEnabled(true); }
    PaintPause(const PaintPause&) = delete;
    PaintPause& operator=(const PaintPause&) = delete;

private:
    QWidget* widget_;
};

}  // namespace

struct TLibraryPane::Impl {
    explicit Impl(LibraryHost& h) : host(h) {}

    LibraryHost& host;
    QVBoxLayout* layout = nullptr;
    QToolBar* TBToolbar1 = nullptr;
    QAction* bbAdd = nullptr;
    QAction* tbtmAddSub = nullptr;
    QAction* bbAddFile = nullptr;
    QAction* bbPost = nullptr;
    QAction* TBXEdit = nullptr;
    QAction* tbtmModify = nullptr;
    QAction* tbtmReplace = nullptr;
    QAction* tbtmOpenPath = nullptr;
    QAction* tbtmDel = nullptr;
    QAction* tbtmRefresh = nullptr;
    QAction* tbtmUser = nullptr;
    QWidget* pnlLogin = nullptr;
    QGroupBox* rg1 = nullptr;
    QButtonGroup* rg1Items = nullptr;
    LibraryTreeWidget* tv1 = nullptr;
    QMenu* pm1 = nullptr;
    QAction* N3 = nullptr;
    QAction* N1 = nullptr;
    QAction* N5 = nullptr;
    QAction* N2 = nullptr;
    QAction* N4 = nullptr;

    EntryList fileList;
    TFiles* currentEntry = nullptr;
    // The current entry after a load dropped it from the list; alive until the next open.
    std::unique_ptr<TFiles> droppedCurrent;
    int lastFilterIndex = 0;

    int filterIndex() const { return rg1Items->checkedId() < 0 ? 0 : rg1Items->checkedId(); }
};

TLibraryPane::TLibraryPane(LibraryHost& host, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Impl>(host)) {
    setObjectName(QStringLiteral("pnlDoc"));
    buildWidgets();
    applyLoginState();
}

// Nodes refer to entries: take the tree down before the entries go.
TLibraryPane::~TLibraryPane() {
    d->tv1->clear();
}

namespace {

QAction* makeAction(QObject* owner, const char* name, const QString& caption) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QToolButton* addButton(QToolBar* bar, QAction* action, QStyle::StandardPixmap icon) {
    action->setIcon(bar->style()->standardIcon(icon));
    bar->addAction(action);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    if (button) button->setObjectName(action->objectName());
    return button;
}

}  // namespace

void TLibraryPane::buildWidgets() {
    Impl& w = *d;
    w.layout = new QVBoxLayout(this);
    w.layout->setContentsMargins(0, 0, 0, 0);
    w.layout->setSpacing(0);

    w.TBToolbar1 = new QToolBar(this);
    w.TBToolbar1->setObjectName(QStringLiteral("TBToolbar1"));
    w.TBToolbar1->setFixedHeight(75);
    w.TBToolbar1->setMovable(false);
    w.TBToolbar1->setFloatable(false);
    w.TBToolbar1->setIconSize(QSize(32, 32));
    w.TBToolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    w.bbAdd = makeAction(this, "bbAdd", QStringLiteral("添加目录"));
    w.tbtmAddSub = makeAction(this, "tbtmAddSub", QStringLiteral("添加子目录"));
    auto* addMenu = new QMenu(this);
    addMenu->addAction(w.tbtmAddSub);
    w.bbAdd->setMenu(addMenu);
    w.bbAddFile = makeAction(this, "bbAddFile", QStringLiteral("导入DWG"));
    w.bbPost = makeAction(this, "bbPost", QStringLiteral("上传"));
    w.TBXEdit = makeAction(this, "TBXEdit", QStringLiteral("编辑"));
    w.tbtmModify = makeAction(this, "tbtmModify", QStringLiteral("修改图纸"));
    w.tbtmReplace = makeAction(this, "tbtmReplace", QStringLiteral("替换图纸"));
    w.tbtmOpenPath = makeAction(this, "tbtmOpenPath", QStringLiteral("打开目录"));
    w.tbtmDel = makeAction(this, "tbtmDel", QStringLiteral("删除"));
    w.tbtmRefresh = makeAction(this, "tbtmRefresh", QStringLiteral("重新下载文件"));
    auto* editMenu = new QMenu(this);
    editMenu->addActions({w.tbtmModify, w.tbtmReplace, w.tbtmOpenPath, w.tbtmDel, w.tbtmRefresh});
    w.TBXEdit->setMenu(editMenu);
    w.tbtmUser = makeAction(this, "tbtmUser", QStringLiteral("共享"));

    if (QToolButton* b = addButton(w.TBToolbar1, w.bbAdd, QStyle::SP_FileDialogNewFolder)) {
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    addButton(w.TBToolbar1, w.bbAddFile, QStyle::SP_DialogOpenButton);
    addButton(w.TBToolbar1, w.bbPost, QStyle::SP_ArrowUp);
    if (QToolButton* b = addButton(w.TBToolbar1, w.TBXEdit, QStyle::SP_FileDialogDetailedView)) {
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    addButton(w.TBToolbar1, w.tbtmUser, QStyle::SP_DirLinkIcon);
    w.layout->addWidget(w.TBToolbar1);

    w.rg1 = new QGroupBox(QStringLiteral("   筛  选  "), this);
    w.rg1->setObjectName(QStringLiteral("rg1"));
    w.rg1->setFixedHeight(65);
    auto* rgLayout = new QHBoxLayout(w.rg1);
    w.rg1Items = new QButtonGroup(w.rg1);
    const QStringList views{QStringLiteral("我的图纸"), QStringLiteral("共享图纸")};
    for (int i = 0; i < views.size(); ++i) {
        auto* item = new QRadioButton(views[i], w.rg1);
        item->setObjectName(QStringLiteral("rg1Item%1").arg(i));
        w.rg1Items->addButton(item, i);
        rgLayout->addWidget(item);
    }
    w.rg1Items->button(0)->setChecked(true);
    w.layout->addWidget(w.rg1);

    w.tv1 = new LibraryTreeWidget(this);
    w.layout->addWidget(w.tv1, 1);

    w.pm1 = new QMenu(this);
    w.pm1->setObjectName(QStringLiteral("pm1"));
    w.N3 = makeAction(this, "N3", QStringLiteral("打开"));
    w.N1 = makeAction(this, "N1", QStringLiteral("编辑"));
    w.N5 = makeAction(this, "N5", QStringLiteral("替换"));
    w.N2 = makeAction(this, "N2", QStringLiteral("删除"));
    w.N4 = makeAction(this, "N4", QStringLiteral("打开目录"));
    w.pm1->addActions({w.N3, w.N1, w.N5, w.N2, w.N4});

    auto on = [this](QAction* action, void (TLibraryPane::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(w.bbAdd, &TLibraryPane::bbAddClick);
    on(w.tbtmAddSub, &TLibraryPane::tbtmAddSubClick);
    on(w.bbAddFile, &TLibraryPane::bbAddFileClick);
    on(w.bbPost, &TLibraryPane::UploadChanges);
    on(w.TBXEdit, &TLibraryPane::TBXEditClick);
    on(w.tbtmModify, &TLibraryPane::tbtmModifyClick);
    on(w.tbtmReplace, &TLibraryPane::tbtmReplaceClick);
    on(w.tbtmOpenPath, &TLibraryPane::tbtmOpenPathClick);
    on(w.tbtmDel, &TLibraryPane::tbtmDelClick);
    on(w.tbtmRefresh, &TLibraryPane::tbtmRefreshClick);
    on(w.tbtmUser, &TLibraryPane::tbtmUserClick);
    on(w.N3, &TLibraryPane::tv1DblClick);
    on(w.N1, &TLibraryPane::tbtmModifyClick);
    on(w.N5, &TLibraryPane::tbtmReplaceClick);
    on(w.N2, &TLibraryPane::tbtmDelClick);
    on(w.N4, &TLibraryPane::tbtmOpenPathClick);
    connect(w.tv1, &QTreeWidget::itemDoubleClicked, this,
            [this] { guarded([this] { tv1DblClick(); }); });
    connect(w.tv1, &LibraryTreeWidget::edited, this,
            [this](QTreeWidgetItem* node, const QString& text) { tv1Edited(node, text); });
    connect(w.tv1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { d->pm1->popup(d->tv1->viewport()->mapToGlobal(at)); });
    connect(w.rg1Items, &QButtonGroup::idClicked, this,
            [this](int index) { guarded([&] { rg1Click(index); }); });
}

template <class F>
void TLibraryPane::guarded(F&& command) {
    try {
        command();
    } catch (const std::exception& e) {
        platform::dialogs().messageBox(reportText(QString::fromUtf8(e.what())), kAppTitle,
                                       platform::Buttons::Ok, platform::Icon::Error);
    }
    d->tv1->viewport()->update();
}

void TLibraryPane::setLoginPanel(QWidget* loginPanel) {
    if (!loginPanel || loginPanel == d->pnlLogin) return;
    if (d->pnlLogin) delete d->pnlLogin;
    d->pnlLogin = loginPanel;
    loginPanel->setParent(this);
    d->layout->insertWidget(1, loginPanel);
    applyLoginState();
}

void TLibraryPane::applyLoginState() {
    const bool loggedIn = !ucm::CurrentUserId().isEmpty();
    if (d->pnlLogin) d->pnlLogin->setVisible(!loggedIn);
    for (QAction* a :
         {d->bbAdd, d->tbtmUser, d->bbAddFile, d->bbPost, d->TBXEdit, d->tbtmRefresh}) {
        a->setEnabled(loggedIn);
    }
    d->tv1->setVisible(loggedIn);
    d->rg1->setVisible(loggedIn);
    // The commands that only belong to the own view stay off while the shared view shows.
    if (loggedIn && d->lastFilterIndex != 0) applyViewEnabling(d->lastFilterIndex);
}

TFiles* TLibraryPane::CurrentEntry() const {
    return d->currentEntry;
}
std::vector<std::unique_ptr<TFiles>>& TLibraryPane::FileList() {
    return d->fileList;
}
int TLibraryPane::LastFilterIndex() const {
    return d->lastFilterIndex;
}
QTreeWidget* TLibraryPane::tree() const {
    return d->tv1;
}

TFiles* TLibraryPane::selectedEntry(QTreeWidgetItem** node) const {
    QTreeWidgetItem* selected = d->tv1->selectedNode();
    if (node) *node = selected;
    return LibraryNode::entryOf(selected);
}

// ---- catalogue and views ----

void TLibraryPane::BuildTree() {
    d->tv1->clear();
    d->tv1->addTopLevelItems(TreeBuilder::BuildTree(d->fileList, d->filterIndex()));
}

void TLibraryPane::rebuildTree() {
    PaintPause pause(d->tv1);
    BuildTree();
    d->tv1->expandAll();
}

void TLibraryPane::LoadCatalogue() {
    const QString answer = ucm::ServicePost({QStringLiteral("userId=") + ucm::CurrentUserId()}, {},
                                            QStringLiteral("FileMng/GetFiles"));
    if (answer.isEmpty()) {
        platform::dialogs().messageBox(QStringLiteral("查询失败。"), kNotice, platform::Buttons::Ok,
                                       platform::Icon::Information);
        return;
    }
    CatalogueLoad load = CatalogueLoader::decode(answer, ucm::UserFolder());
    if (!load.ok) {
        platform::dialogs().messageBox(load.error, kNotice, platform::Buttons::Ok,
                                       platform::Icon::Warning);
        return;
    }
    CatalogueLoader::carryLocalChanges(d->fileList, load.entries);
    d->tv1->clear();
    for (auto& entry : d->fileList) {
        if (entry.get() == d->currentEntry) d->droppedCurrent = std::move(entry);
    }
    d->fileList = std::move(load.entries);
    rebuildTree();
    d->lastFilterIndex = d->filterIndex();
}

void TLibraryPane::rg1Click(int index) {
    if (index == d->lastFilterIndex) return;
    rebuildTree();
    d->lastFilterIndex = index;
    applyViewEnabling(index);
}

void TLibraryPane::applyViewEnabling(int index) {
    const bool own = index == 0;
    for (QAction* a : {d->tbtmModify, d->tbtmDel, d->tbtmReplace, d->bbPost, d->bbAdd, d->bbAddFile,
                       d->N1, d->N2, d->N5, d->N4}) {
        a->setEnabled(own);
    }
}

// ---- folder editing ----

void TLibraryPane::bbAddClick() {
    FolderEditing(d->fileList, *d->tv1).addFolder(d->tv1->selectedNode());
}

void TLibraryPane::tbtmAddSubClick() {
    FolderEditing(d->fileList, *d->tv1).addSubFolder(d->tv1->selectedNode());
}

void TLibraryPane::TBXEditClick() {
    QTreeWidgetItem* node = nullptr;
    TFiles* entry = selectedEntry(&node);
    if (entry && !entry->isDrawing()) d->tv1->startEditing(node);
}

void TLibraryPane::tv1Edited(QTreeWidgetItem* node, const QString& text) {
    FolderEditing::renamed(node, text);
}

void TLibraryPane::tbtmDelClick() {
    if (!d->tv1->selectedNode()) return;
    FolderEditing(d->fileList, *d->tv1).deleteNodes(d->tv1->selectedInOrder());
}

// ---- import and upload ----

void TLibraryPane::bbAddFileClick() {
    PaintPause pause(d->tv1);
    platform::OpenFileRequest request;
    request.filter = QStringLiteral("DWG|*.dwg");
    request.multiSelect = true;
    const platform::OpenFileResult chosen = platform::dialogs().openFiles(request);
    if (chosen.files.isEmpty()) return;
    const QStringList paths = Importer::dwgPathsOnly(chosen.files);
    if (!paths.isEmpty()) ImportFiles(paths);
}

void TLibraryPane::ImportFiles(const QStringList& files) {
    if (ucm::CurrentUserId().isEmpty()) return;
    Importer(d->fileList, *d->tv1).importFiles(d->tv1->selectedNode(), files);
}

void TLibraryPane::UploadChanges() {
    if (ucm::CurrentUserId().isEmpty()) return;
    Uploader uploader(d->fileList, ucm::CurrentUserId(), ucm::UserFolder());
    const UploadOutcome outcome = uploader.run();
    if (outcome.refusedFolder) {
        platform::dialogs().messageBox(*outcome.refusedFolder, kAppTitle, platform::Buttons::Ok,
                                       platform::Icon::None);
    }
    LoadCatalogue();
}

// ---- download, open and replace ----

bool TLibraryPane::ensureLocalCopy(TFiles& entry) {
    LocalCopies::EnsureLocalCopy(entry, ucm::UserFolder());
    return entry.LocalState == 1 || entry.LocalState == 3;
}

void TLibraryPane::tv1DblClick() {
    TFiles* entry = selectedEntry();
    if (!entry) return;
    // The entry becomes current and its tasks load even when the download fails.
    std::exception_ptr downloadError;
    bool present = false;
    try {
        present = ensureLocalCopy(*entry);
    } catch (...) {
        downloadError = std::current_exception();
    }
    d->currentEntry = entry;
    d->droppedCurrent.reset();
    if (d->host.taskPaneVisible()) d->host.reloadTasks(entry->FileId);
    if (downloadError) std::rethrow_exception(downloadError);
    if (present) d->host.openDrawing(entry->LocalPath);
}

void TLibraryPane::tbtmRefreshClick() {
    d->host.openDrawing(QString());
    LocalCopies::dropDownloadedCopies(d->fileList, ucm::UserFolder());
    d->tv1->viewport()->update();
    LoadCatalogue();
    platform::dialogs().messageBox(
        QStringLiteral("您本地的图纸已经删除。双击打开时，将会重新下载。"), QStringLiteral("下载"),
        platform::Buttons::Ok, platform::Icon::Information);
}

void TLibraryPane::tbtmReplaceClick() {
    TFiles* entry = selectedEntry();
    if (!entry || !ensureLocalCopy(*entry)) return;
    platform::OpenFileRequest request;
    request.filter = QStringLiteral("DWG|*.dwg");
    const platform::OpenFileResult chosen = platform::dialogs().openFiles(request);
    if (chosen.files.isEmpty()) return;
    const QString file = chosen.files.first();
    d->host.openDrawing(QString());
    const QString error = LocalCopies::replaceFile(*entry, file);
    if (!error.isEmpty()) {
        platform::dialogs().messageBox(error, kNotice, platform::Buttons::Ok,
                                       platform::Icon::Warning);
        d->host.openDrawing(entry->LocalPath);
        return;
    }
    d->host.openDrawing(file);
}

void TLibraryPane::tbtmOpenPathClick() {
    TFiles* entry = selectedEntry();
    if (!entry) return;
    ensureLocalCopy(*entry);
    const QString folder = LocalCopies::folderPart(entry->LocalPath);
    if (!folder.isEmpty()) platform::shell().open(folder);
}

// ---- external CAD, sharing ----

void TLibraryPane::tbtmModifyClick() {
    QTreeWidgetItem* node = nullptr;
    TFiles* entry = selectedEntry(&node);
    if (!entry) return;
    if (entry->ItemType == QLatin1String("0")) {
        FolderEditing::renameByDialog(node);
        return;
    }
    QString program = d->host.cadProgramPath();
    if (program.isEmpty()) {
        const std::optional<QString> chosen = ExternalCad::chooseProgram();
        if (!chosen) return;
        program = *chosen;
        d->host.setCadProgramPath(program);
    }
    if (!ensureLocalCopy(*entry)) return;
    ExternalCad::launch(*entry, program);
}

void TLibraryPane::tbtmUserClick() {
    d->host.showSharing();
}

}  // namespace library
