#include "tasks/uFrmFileMsg.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <optional>

#include "platform/Dialogs.h"
#include "platform/Gbk.h"
#include "platform/Paths.h"
#include "service/ucm.h"
#include "tasks/EnlargedPicture.h"
#include "tasks/ErrorReport.h"
#include "tasks/ModalRunner.h"
#include "tasks/PictureBox.h"
#include "tasks/TaskPicture.h"
#include "tasks/TaskRows.h"
#include "tasks/uFrmNewMsg.h"

namespace {

enum Column { kDate = 0, kContent = 1, kUser = 2, kStatus = 3 };

QImage makeNoPicture() {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font;
    font.setPointSize(20);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(20, 20, 380, 280), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("本任务没有图片"));
    return image;
}

QTableWidgetItem* makeCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

TFrmFileMsg::TFrmFileMsg(QWidget* parent) : QWidget(parent), NoPicture_(makeNoPicture()) {
    setObjectName(QStringLiteral("FrmFileMsg"));
    setWindowTitle(QStringLiteral("任务列表"));
    buildControls();
}

TFrmFileMsg::~TFrmFileMsg() = default;

void TFrmFileMsg::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlTopTool = new QWidget(this);
    pnlTopTool->setObjectName(QStringLiteral("pnlTopTool"));
    pnlTopTool->setFixedHeight(33);
    auto* tools = new QHBoxLayout(pnlTopTool);
    tools->setContentsMargins(2, 2, 2, 2);
    btnNewTask = new QPushButton(QStringLiteral("新增任务"), pnlTopTool);
    btnNewTask->setObjectName(QStringLiteral("btnNewTask"));
    btnClose = new QPushButton(QStringLiteral("关闭任务"), pnlTopTool);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnDel = new QPushButton(QStringLiteral("废弃任务"), pnlTopTool);
    btnDel->setObjectName(QStringLiteral("btnDel"));
    chkdcl = new QCheckBox(QStringLiteral("筛选待处理"), pnlTopTool);
    chkdcl->setObjectName(QStringLiteral("chkdcl"));
    for (QWidget* w : {static_cast<QWidget*>(btnNewTask), static_cast<QWidget*>(btnClose),
                       static_cast<QWidget*>(btnDel), static_cast<QWidget*>(chkdcl)}) {
        // The panel is narrow (329 pixels); the controls share what there is.
        w->setMinimumWidth(1);
        tools->addWidget(w);
    }
    tools->addStretch(1);
    layout->addWidget(pnlTopTool);

    lv1 = new QTableWidget(0, 4, this);
    lv1->setObjectName(QStringLiteral("lv1"));
    lv1->setFixedHeight(176);
    lv1->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("内容"),
                                    QStringLiteral("用户"), QStringLiteral("状态")});
    lv1->setShowGrid(true);
    lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv1->setSelectionMode(QAbstractItemView::SingleSelection);
    lv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv1->setWordWrap(false);
    lv1->verticalHeader()->setVisible(false);
    lv1->verticalHeader()->setDefaultSectionSize(lv1->fontMetrics().height() + 6);
    lv1->horizontalHeader()->setSectionsClickable(false);
    lv1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    lv1->horizontalHeader()->setHighlightSections(false);
    // The selection stays visible while the list does not have the focus.
    QPalette listPalette = lv1->palette();
    listPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         listPalette.color(QPalette::Active, QPalette::Highlight));
    listPalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         listPalette.color(QPalette::Active, QPalette::HighlightedText));
    lv1->setPalette(listPalette);
    layout->addWidget(lv1);

    pnlDetail = new QWidget(this);
    pnlDetail->setObjectName(QStringLiteral("pnlDetail"));
    auto* detail = new QVBoxLayout(pnlDetail);
    detail->setContentsMargins(0, 0, 0, 0);
    detail->setSpacing(0);
    pnlsp = new QLabel(QStringLiteral("问题明细"), pnlDetail);
    pnlsp->setObjectName(QStringLiteral("pnlsp"));
    pnlsp->setFixedHeight(25);
    pnlsp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pnlsp->setAutoFillBackground(true);
    QPalette titlePalette = pnlsp->palette();
    titlePalette.setColor(QPalette::Window, titlePalette.color(QPalette::Inactive, QPalette::Mid));
    pnlsp->setPalette(titlePalette);
    detail->addWidget(pnlsp);
    mmoInfo = new QPlainTextEdit(pnlDetail);
    mmoInfo->setObjectName(QStringLiteral("mmoInfo"));
    mmoInfo->setReadOnly(true);
    mmoInfo->setFixedHeight(48);
    mmoInfo->setFrameShape(QFrame::NoFrame);
    QPalette memoPalette = mmoInfo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::ToolTipBase));
    memoPalette.setColor(QPalette::Text, memoPalette.color(QPalette::ToolTipText));
    mmoInfo->setPalette(memoPalette);
    detail->addWidget(mmoInfo);
    img1 = new tasks::PictureBox(pnlDetail);
    img1->setObjectName(QStringLiteral("img1"));
    img1->setStretch(true);
    detail->addWidget(img1, 1);
    layout->addWidget(pnlDetail, 1);

    connect(btnNewTask, &QPushButton::clicked, this, &TFrmFileMsg::btnNewTaskClick);
    connect(btnClose, &QPushButton::clicked, this, &TFrmFileMsg::btnCloseClick);
    connect(btnDel, &QPushButton::clicked, this, &TFrmFileMsg::btnDelClick);
    connect(chkdcl, &QCheckBox::clicked, this, &TFrmFileMsg::chkdclClick);
    connect(img1, &tasks::PictureBox::clicked, this, &TFrmFileMsg::img1Click);
    connect(lv1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                if (filling_) return;
                // As the list reports it: the row losing the selection first, then the
                // row gaining it, so the details end on the newly selected row.
                for (const QModelIndex& index : deselected.indexes()) {
                    if (index.column() == kDate) lv1SelectItem(index.row(), false);
                }
                for (const QModelIndex& index : selected.indexes()) {
                    if (index.column() == kDate) lv1SelectItem(index.row(), true);
                }
            });
    setColumnWidths();
}

void TFrmFileMsg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setColumnWidths();
}

void TFrmFileMsg::setColumnWidths() {
    lv1->setColumnWidth(kDate, 120);
    lv1->setColumnWidth(kUser, 60);
    lv1->setColumnWidth(kStatus, 40);
    lv1->setColumnWidth(kContent, std::max(0, width() - 220));
}

QString TFrmFileMsg::StatusText(int status) {
    switch (status) {
        case 0:
            return QStringLiteral("新建");
        case 1:
            return QStringLiteral("关闭");
        case 2:
            return QStringLiteral("作废");
        default:
            return QStringLiteral("未知");
    }
}

void TFrmFileMsg::LoadFileMsgs(const QString& fileId) {
    CurrentFileId_ = fileId;
    filling_ = true;
    lv1->setRowCount(0);
    filling_ = false;
    CurrentMsg_ = nullptr;
    MsgList_.clear();
    if (fileId.isEmpty()) return;
    UserFolder_ =
        platform::joinPath(ucm::LocalRoot(), ucm::CurrentUserId()) + platform::separator();
    const QString answer = ucm::ServiceGet(QStringLiteral("FileMng/FileMsgGet?fileId=") + fileId);
    if (answer.isEmpty()) return;
    try {
        readRows(answer);
    } catch (const std::exception& error) {
        MsgList_.clear();
        tasks::ReportError(QString::fromUtf8(error.what()));
        return;
    }
    FillMsgList();
}

void TFrmFileMsg::readRows(const QString& answer) {
    std::vector<TFileMsg> rows = tasks::ReadTaskRows(answer);
    for (TFileMsg& row : rows) {
        auto entry = std::make_unique<TFileMsg>(std::move(row));
        const QString local = tasks::LocalPictureName(entry->FilePath);
        if (!local.isEmpty() && QFileInfo(UserFolder_ + local).isFile()) {
            entry->LocalState = 3;
            entry->LocalPath = UserFolder_ + local;
        } else {
            entry->LocalState = 2;
            entry->LocalPath.clear();
        }
        MsgList_.push_back(std::move(entry));
    }
}

void TFrmFileMsg::FillMsgList() {
    filling_ = true;
    lv1->clearSelection();
    lv1->setRowCount(0);
    for (const auto& entry : MsgList_) {
        if (chkdcl->isChecked() && entry->Status != 0) continue;
        const int row = lv1->rowCount();
        lv1->insertRow(row);
        QTableWidgetItem* date = makeCell(entry->MsgDate);
        date->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry.get())));
        lv1->setItem(row, kDate, date);
        lv1->setItem(row, kContent, makeCell(entry->MsgInfo));
        lv1->setItem(row, kUser, makeCell(entry->UserName));
        lv1->setItem(row, kStatus, makeCell(StatusText(entry->Status)));
    }
    filling_ = false;
}

TFileMsg* TFrmFileMsg::entryOfRow(int row) const {
    if (row < 0 || row >= lv1->rowCount()) return nullptr;
    const QTableWidgetItem* item = lv1->item(row, kDate);
    if (!item) return nullptr;
    auto* entry = reinterpret_cast<TFileMsg*>(item->data(Qt::UserRole).value<quintptr>());
    for (const auto& owned : MsgList_) {
        if (owned.get() == entry) return entry;
    }
    return nullptr;
}

void TFrmFileMsg::lv1SelectItem(int row, bool /*selected*/) {
    TFileMsg* entry = entryOfRow(row);
    if (!entry) return;
    try {
        if (entry->LocalState == 2) tasks::FetchPicture(*entry, UserFolder_);
    } catch (const std::exception& error) {
        tasks::ReportError(QString::fromUtf8(error.what()));
        return;
    }
    showEntry(*entry);
}

void TFrmFileMsg::showEntry(TFileMsg& entry) {
    mmoInfo->setPlainText(entry.MsgInfo);
    CurrentMsg_ = &entry;
    showPicture(entry.LocalPath);
}

void TFrmFileMsg::showPicture(const QString& path) {
    QImage picture;
    if (!path.isEmpty() && QFileInfo(path).isFile()) picture = tasks::LoadPicture(path);
    img1->setImage(picture.isNull() ? NoPicture_ : picture);
}

void TFrmFileMsg::btnNewTaskClick() {
    if (CurrentFileId_.isEmpty()) {
        platform::dialogs().messageBox(QStringLiteral("请先打开图纸或者上传图纸。"),
                                       QStringLiteral("提示"), platform::Buttons::Ok,
                                       platform::Icon::Information);
        return;
    }
    QImage view;
    if (OnCaptureView) view = OnCaptureView();
    TFrmNewMsg dialog(window());
    dialog.SetupNewMsg(view, CurrentFileId_, UserFolder_);
    if (tasks::RunModal(dialog) == QDialog::Accepted) LoadFileMsgs(CurrentFileId_);
}

void TFrmFileMsg::btnCloseClick() {
    closeOrDiscard(QStringLiteral("完成"), 1);
}

void TFrmFileMsg::btnDelClick() {
    closeOrDiscard(QStringLiteral("无需处理"), 2);
}

void TFrmFileMsg::closeOrDiscard(const QString& defaultOpinion, int newStatus) {
    const QModelIndexList rows = lv1->selectionModel()->selectedRows(kDate);
    if (rows.isEmpty()) return;
    const int row = rows.first().row();
    // Act on the task of the highlighted row, which is the one whose details are shown
    // unless showing them failed; never on a different task than the one highlighted.
    TFileMsg* entry = entryOfRow(row);
    if (!entry) return;
    const std::optional<QString> opinion = platform::dialogs().inputQuery(
        QStringLiteral("意见输入框"), QStringLiteral("请输入评审意见"), defaultOpinion);
    if (!opinion) return;
    CurrentMsg_ = entry;
    entry->Status = newStatus;
    entry->MsgInfo += QStringLiteral("\r\n") + ucm::CurrentUserName() + u':' + *opinion;
    if (QTableWidgetItem* status = lv1->item(row, kStatus)) status->setText(StatusText(newStatus));
    ucm::ServiceGet(QStringLiteral("FileMng/FileMsgSet?id=") + entry->Id +
                    QStringLiteral("&msgInfo=") + tasks::Base64OfGbk(entry->MsgInfo) +
                    QStringLiteral("&status=") + QString::number(newStatus));
    mmoInfo->setPlainText(entry->MsgInfo);
}

void TFrmFileMsg::chkdclClick() {
    FillMsgList();
}

void TFrmFileMsg::img1Click() {
    tasks::ShowEnlargedPicture(this, img1->image());
}
