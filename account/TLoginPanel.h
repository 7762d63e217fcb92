#pragma once
// The login panel `pnlLogin` (321 × 230): account and password boxes, "登录", "注册"
// and the "记住密码" tick. Owned by the widget it is put in (the library pane); the
// LoginHost must outlive it. UI thread.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace account {

class LoginHost;

class TLoginPanel : public QWidget {
    Q_OBJECT
public:
    explicit TLoginPanel(LoginHost& host, QWidget* parent = nullptr);

    // The "登录" command: request, answer boxes, login values, then the host's library.
    void LogIn();
    // The "注册" command: a new sign-up dialog, shown modally and disposed of.
    void btn3Click();

    QLineEdit* edt1 = nullptr;        // account
    QLineEdit* edt2 = nullptr;        // password
    QPushButton* btn1 = nullptr;      // "登录"
    QPushButton* btn3 = nullptr;      // "注册"
    QCheckBox* tbxchckbx1 = nullptr;  // "记住密码"
    QLabel* lbl1 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;  // "忘记密码", no action

private:
    void buildControls();
    LoginHost& host_;
};

}  // namespace account
