#include "tasks/uFrmNewMsg.h"

#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "service/ucm.h"
#include "tasks/EnlargedPicture.h"
#include "tasks/ErrorReport.h"
#include "tasks/JpegCodec.h"
#include "tasks/PictureBox.h"
#include "tasks/TaskPicture.h"

namespace {

QWidget* makeBar(QWidget* parent, int height) {
    auto* bar = new QWidget(parent);
    bar->setFixedHeight(height);
    return bar;
}

// Replaces `target` with the bytes of `source`; the old target stays whole on failure.
bool copyReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = in.readAll();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace

TFrmNewMsg::TFrmNewMsg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmNewMsg"));
    setWindowTitle(QStringLiteral("添加任务"));
    buildControls();
    setFixedSize(404, 384);
    if (parent) {
        const QRect frame = parent->window()->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
}

TFrmNewMsg::~TFrmNewMsg() = default;

void TFrmNewMsg::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnl3 = makeBar(this, 25);
    pnl3->setObjectName(QStringLiteral("pnl3"));
    pnl3->setAutoFillBackground(true);
    QPalette captionPalette = pnl3->palette();
    captionPalette.setColor(QPalette::Window,
                            captionPalette.color(QPalette::Active, QPalette::Highlight));
    captionPalette.setColor(QPalette::WindowText,
                            captionPalette.color(QPalette::Active, QPalette::HighlightedText));
    pnl3->setPalette(captionPalette);
    auto* captionLayout = new QHBoxLayout(pnl3);
    captionLayout->setContentsMargins(4, 0, 4, 0);
    pnl3Caption = new QLabel(QStringLiteral("请输入问题的描述："), pnl3);
    captionLayout->addWidget(pnl3Caption, 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(pnl3);

    mmoInfo = new QPlainTextEdit(this);
    mmoInfo->setObjectName(QStringLiteral("mmoInfo"));
    mmoInfo->setFixedHeight(104);
    layout->addWidget(mmoInfo);

    pnl4 = makeBar(this, 32);
    pnl4->setObjectName(QStringLiteral("pnl4"));
    auto* pasteLayout = new QHBoxLayout(pnl4);
    pasteLayout->setContentsMargins(4, 2, 4, 3);
    btnPast = new QPushButton(QStringLiteral("粘贴图片"), pnl4);
    btnPast->setObjectName(QStringLiteral("btnPast"));
    btnPast->setFixedSize(105, 27);
    QFont pasteFont = btnPast->font();
    pasteFont.setPixelSize(19);
    btnPast->setFont(pasteFont);
    pasteLayout->addWidget(btnPast, 0, Qt::AlignLeft);
    layout->addWidget(pnl4);

    img1 = new tasks::PictureBox(this);
    img1->setObjectName(QStringLiteral("img1"));
    img1->setStretch(false);
    layout->addWidget(img1, 1);

    pnl1 = makeBar(this, 57);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    auto* buttons = new QHBoxLayout(pnl1);
    buttons->addStretch(1);
    btnPost = new QPushButton(QStringLiteral("保存"), pnl1);
    btnPost->setObjectName(QStringLiteral("btnPost"));
    btnCl = new QPushButton(QStringLiteral("取消"), pnl1);
    btnCl->setObjectName(QStringLiteral("btnCl"));
    buttons->addWidget(btnPost);
    buttons->addWidget(btnCl);
    buttons->addStretch(1);
    layout->addWidget(pnl1);

    connect(btnPast, &QPushButton::clicked, this, &TFrmNewMsg::btnPastClick);
    connect(btnPost, &QPushButton::clicked, this, &TFrmNewMsg::btnPostClick);
    connect(btnCl, &QPushButton::clicked, this, &TFrmNewMsg::btnClClick);
    connect(img1, &tasks::PictureBox::clicked, this, &TFrmNewMsg::img1Click);
}

void TFrmNewMsg::SetupNewMsg(const QImage& viewBitmap, const QString& fileId,
                             const QString& picFolder) {
    ViewBitmap_ = viewBitmap;
    TargetFileId_ = fileId;
    PicFolder_ = picFolder;
}

QString TFrmNewMsg::TimeStampName(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QImage TFrmNewMsg::PictureToSend() const {
    return img1->hasImage() ? img1->image() : ViewBitmap_;
}

void TFrmNewMsg::btnPastClick() {
    platform::Clipboard& clipboard = platform::clipboard();
    const QImage pasted = clipboard.hasImage() ? clipboard.image() : QImage();
    if (!pasted.isNull()) {
        img1->setImage(pasted);
        return;
    }
    const platform::Answer answer = platform::dialogs().messageBox(
        QStringLiteral("剪贴板没有图片。可调用QQ快捷键高清截图。\r\n是否截取当前视图？"), QString(),
        platform::Buttons::YesNo, platform::Icon::Question);
    if (answer == platform::Answer::Yes) img1->setImage(ViewBitmap_.copy());
}

void TFrmNewMsg::img1Click() {
    tasks::ShowEnlargedPicture(this, img1->image());
}

void TFrmNewMsg::btnPostClick() {
    if (ucm::CurrentUserId().isEmpty()) return;
    const QStringList fields{
        QStringLiteral("userId=") + ucm::CurrentUserId(),
        QStringLiteral("fileId=") + TargetFileId_,
        QStringLiteral("msgTitle="),
        QStringLiteral("msgInfo=") + ucm::CurrentUserName() + u':' +
            mmoInfo->toPlainText().replace(u'\n', QStringLiteral("\r\n")),
    };
    const QString picturePath = PicFolder_ + TimeStampName(QDateTime::currentDateTime());
    const QString writeError = jpeg::WriteFile(PictureToSend(), picturePath, 90);
    if (!writeError.isEmpty()) {
        tasks::ReportError(writeError);
        return;
    }
    const QString answer =
        ucm::ServicePost(fields, {picturePath}, QStringLiteral("FileMng/FileMsgAdd"));
    const QString status = answer.size() > 1 ? answer.left(1) : QString();
    if (status != QStringLiteral("Y")) {
        // The picture stays under its time-stamp name; the user may try again.
        const QString reason = status.isEmpty() || answer.size() <= 2
                                   ? QStringLiteral("保存失败，请检查网络后重试。")
                                   : answer.mid(2);
        platform::dialogs().messageBox(reason, QStringLiteral("提示"), platform::Buttons::Ok,
                                       platform::Icon::Warning);
        return;
    }
    finishSavedPicture(picturePath, answer.mid(2));
    platform::dialogs().messageBox(QStringLiteral("已保存到服务器。"), QStringLiteral("提示"),
                                   platform::Buttons::Ok, platform::Icon::Information);
    accept();
}

void TFrmNewMsg::finishSavedPicture(const QString& timeStampPath, const QString& storedPath) {
    const QString name = tasks::LocalPictureName(storedPath);
    // A stored name that is empty or names a folder cannot be a local copy; the task
    // list then downloads the picture when the task is first selected.
    if (name.isEmpty()) {
        QFile::remove(timeStampPath);
        return;
    }
    const QString target = PicFolder_ + name;
    // The service may keep the name it was sent; the file is then already in place.
    if (target == timeStampPath) return;
    copyReplacing(timeStampPath, target);
    QFile::remove(timeStampPath);
}

void TFrmNewMsg::btnClClick() {
    reject();
}
