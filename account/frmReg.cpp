#include "account/frmReg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "account/FormWidgets.h"
#include "account/SignUp.h"
#include "platform/Dialogs.h"
#include "shell/ErrorReport.h"

namespace account {

namespace {

QLineEdit* edit(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return place(new QLineEdit(parent), name, left, top, width, height);
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("注册"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(291, 273);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();
    connect(btn1, &QPushButton::clicked, this, shell::guarded([this](bool) { btn1Click(); }));
    connect(btn2, &QPushButton::clicked, this, shell::guarded([this](bool) { btn2Click(); }));
}

void TForm2::buildControls() {
    lblun = label(this, "lblun", QStringLiteral("姓名："), 40, 16);
    edtUserName = edit(this, "edtUserName", 104, 16, 145, 20);
    lblMail = label(this, "lblMail", QStringLiteral("邮箱："), 42, 44);
    edtMail = edit(this, "edtMail", 102, 43, 150, 20);
    lblPhone = label(this, "lblPhone", QStringLiteral("手机号："), 42, 73);
    edtPhone = edit(this, "edtPhone", 102, 71, 150, 20);
    lblPwd = label(this, "lblPwd", QStringLiteral("密码："), 43, 101);
    edtpwd = edit(this, "edtpwd", 101, 97, 150, 20);
    edtpwd->setEchoMode(QLineEdit::Password);
    lblPwd2 = label(this, "lblPwd2", QStringLiteral("确认密码："), 42, 129);
    edtpwd2 = edit(this, "edtpwd2", 102, 124, 150, 20);
    edtpwd2->setEchoMode(QLineEdit::Password);

    mmo1 = new QPlainTextEdit(this);
    mmo1->setObjectName(QStringLiteral("mmo1"));
    mmo1->setGeometry(14, 168, 263, 41);
    mmo1->setReadOnly(true);
    mmo1->setFrameShape(QFrame::NoFrame);
    mmo1->setFont(QFont(QStringLiteral("微软雅黑"), 9));
    mmo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = mmo1->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Button));  // the scroll-bar colour
    mmo1->setPalette(pal);
    mmo1->setPlainText(
        QStringLiteral("请保证邮件地址正确，管理员确认之后将会给您\n"
                       "发一封激活邮件,请在邮箱上点击链接进行激活。"));

    btn1 = new QPushButton(QStringLiteral("确认"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(124, 237, 75, 25);
    btn2 = new QPushButton(QStringLiteral("取消"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    btn2->setGeometry(207, 236, 75, 25);

    const QList<QWidget*> order{btn1, btn2, edtMail, edtPhone, edtpwd, edtpwd2, mmo1, edtUserName};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order.at(i - 1), order.at(i));
}

void TForm2::showPlain(const QString& text) {
    platform::dialogs().messageBox(text, QStringLiteral("OrvaneCAD"), platform::Buttons::Ok,
                                   platform::Icon::None);
}

void TForm2::btn1Click() {
    const SignUpEntries entries{edtUserName->text(), edtMail->text(), edtPhone->text(),
                                edtpwd->text(), edtpwd2->text()};
    const QString refusal = signUpRefusal(entries);
    if (!refusal.isEmpty()) {
        showPlain(refusal);
        return;
    }
    const QString answer = requestSignUp(entries);
    if (answer == QLatin1String("Y")) {
        showPlain(QStringLiteral("注册成功。"));
        accept();
        return;
    }
    showPlain(QStringLiteral("注册失败:") + answer);
}

void TForm2::btn2Click() {
    reject();
}

}  // namespace account
