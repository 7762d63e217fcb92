#include "account/TLoginPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "account/FormWidgets.h"
#include "account/Login.h"
#include "account/LoginHost.h"
#include "account/frmReg.h"
#include "platform/Dialogs.h"
#include "service/ucm.h"
#include "shell/ErrorReport.h"

namespace account {

TLoginPanel::TLoginPanel(LoginHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("pnlLogin"));
    setFixedHeight(230);
    setMinimumWidth(321);
    buildControls();
    connect(btn1, &QPushButton::clicked, this, shell::guarded([this](bool) { LogIn(); }));
    connect(btn3, &QPushButton::clicked, this, shell::guarded([this](bool) { btn3Click(); }));
}

void TLoginPanel::buildControls() {
    edt1 = place(new QLineEdit(this), "edt1", 74, 33, 207, 23);
    edt2 = place(new QLineEdit(this), "edt2", 74, 68, 207, 23);
    edt2->setEchoMode(QLineEdit::Password);
    btn1 = place(new QPushButton(QStringLiteral("登录"), this), "btn1", 178, 119, 100, 25);
    QFont bold = btn1->font();
    bold.setBold(true);
    btn1->setFont(bold);
    btn1->setDefault(true);
    btn3 = place(new QPushButton(QStringLiteral("注册"), this), "btn3", 76, 119, 85, 25);
    tbxchckbx1 =
        place(new QCheckBox(QStringLiteral("记住密码"), this), "tbxchckbx1", 76, 93, 100, 21);
    lbl1 = label(this, "lbl1", QStringLiteral("邮箱："), 32, 35);
    lbl2 = label(this, "lbl2", QStringLiteral("密码："), 32, 71);
    lbl3 = label(this, "lbl3", QStringLiteral("忘记密码"), 185, 98);
    lbl3->setStyleSheet(QStringLiteral("color: blue;"));
    lbl3->setCursor(Qt::PointingHandCursor);
    setTabOrder(edt1, edt2);
    setTabOrder(edt2, btn1);
    setTabOrder(btn1, btn3);
    setTabOrder(btn3, tbxchckbx1);
    // The box-enter key logs in, as the bold default button suggests.
    connect(edt2, &QLineEdit::returnPressed, btn1, &QPushButton::click);
}

void TLoginPanel::LogIn() {
    const LoginAnswer a = requestLogin(edt1->text(), edt2->text());
    auto& dlg = platform::dialogs();
    if (a.kind == LoginAnswer::Kind::NoConnection) {
        dlg.messageBox(QStringLiteral("登录不上，请检查一下网络。"), QStringLiteral("提示"),
                       platform::Buttons::Ok, platform::Icon::Information);
        return;
    }
    if (a.kind == LoginAnswer::Kind::Refused) {
        dlg.messageBox(QStringLiteral("登录失败：") + a.answer, QStringLiteral("OrvaneCAD"),
                       platform::Buttons::Ok, platform::Icon::None);
        return;
    }
    dlg.messageBox(QStringLiteral("登录成功。"), QStringLiteral("提示"), platform::Buttons::Ok,
                   platform::Icon::Information);
    ucm::setLogin(a.userId, a.userName);
    host_.setStatusText(QStringLiteral("您拥有的网盘空间剩余：") + a.space + QStringLiteral("MB"));
    setVisible(ucm::CurrentUserId().isEmpty());
    host_.applyLoginState();
    if (ucm::CurrentUserId().isEmpty()) return;
    const QString folder = ucm::UserFolder();
    // A folder that cannot be made shows up later, when a download into it fails.
    QDir().mkpath(folder);
    host_.openUserLibrary(folder);
}

void TLoginPanel::btn3Click() {
    TForm2 dialog(window());
    dialog.exec();
}

}  // namespace account
