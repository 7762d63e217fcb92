#include "notify/uFrmTip.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "notify/MessageRows.h"

TFrmTip::TFrmTip(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FrmTip"));
    setWindowTitle(QStringLiteral("消息盒子"));
    setModal(false);
    QFont boxFont(QStringLiteral("微软雅黑"));
    boxFont.setPixelSize(12);
    setFont(boxFont);
    setFixedSize(279, 179);

    mmo2 = new QPlainTextEdit(this);
    mmo2->setObjectName(QStringLiteral("mmo2"));
    mmo2->setGeometry(3, 6, 271, 143);
    mmo2->setFrameShape(QFrame::NoFrame);
    mmo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    btn1 = new QPushButton(QStringLiteral("上一条"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(9, 153, 87, 25);
    btn2 = new QPushButton(QStringLiteral("下一条"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    btn2->setGeometry(98, 153, 87, 25);
    btn3 = new QPushButton(QStringLiteral("关闭"), this);
    btn3->setObjectName(QStringLiteral("btn3"));
    btn3->setGeometry(188, 153, 87, 25);
    for (QPushButton* b : {btn1, btn2, btn3}) b->setAutoDefault(false);

    connect(btn1, &QPushButton::clicked, this, &TFrmTip::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TFrmTip::btn2Click);
    connect(btn3, &QPushButton::clicked, this, &TFrmTip::btn3Click);
}

TFrmTip::~TFrmTip() = default;

QPoint TFrmTip::PlaceOnScreen(const QSize& screen, const QSize& outer) {
    return {screen.width() - outer.width(), screen.height() - outer.height() - 50};
}

void TFrmTip::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect frame = frameGeometry();
        const QPoint inset = pos() - frame.topLeft();
        move(screen->geometry().topLeft() + PlaceOnScreen(screen->geometry().size(), frame.size()) +
             inset);
    }
}

void TFrmTip::SetMsgRows(ucm::RowSet& rows) {
    SetMsgTexts(notify::MessageTexts(rows));
}

void TFrmTip::SetMsgTexts(const QStringList& texts) {
    MsgRows_ = texts;
    MsgIndex_ = 0;
    ShowCurrentMsg();
}

void TFrmTip::ShowCurrentMsg() {
    if (MsgIndex_ >= 0 && MsgIndex_ < MsgRows_.size()) {
        QString text = MsgRows_.at(MsgIndex_);
        mmo2->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    btn1->setEnabled(MsgIndex_ > 0);
    btn2->setEnabled(MsgIndex_ < MsgRows_.size() - 1);
}

void TFrmTip::btn1Click() {
    if (MsgIndex_ <= 0) return;  // a disabled button cannot page before the first
    --MsgIndex_;
    ShowCurrentMsg();
}

void TFrmTip::btn2Click() {
    if (MsgIndex_ >= MsgRows_.size() - 1) return;
    ++MsgIndex_;
    ShowCurrentMsg();
}

void TFrmTip::btn3Click() {
    close();
}
