#pragma once
// The sign-up dialog `TForm2` ("注册"): checks the entries, posts them to the service
// and closes with OK when the service accepts them. Created by the caller for one use,
// shown modally, UI thread.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace account {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // "确认": checks in order, then the request; OK closes the dialog on "Y".
    void btn1Click();
    // "取消".
    void btn2Click();

    QLabel* lblun = nullptr;
    QLineEdit* edtUserName = nullptr;
    QLabel* lblMail = nullptr;
    QLineEdit* edtMail = nullptr;
    QLabel* lblPhone = nullptr;
    QLineEdit* edtPhone = nullptr;
    QLabel* lblPwd = nullptr;
    QLineEdit* edtpwd = nullptr;
    QLabel* lblPwd2 = nullptr;
    QLineEdit* edtpwd2 = nullptr;
    QPlainTextEdit* mmo1 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* btn2 = nullptr;

private:
    void buildControls();
    void showPlain(const QString& text);
};

}  // namespace account
