#pragma once
// The message box "消息盒子": shows the messages fetched at start-up one at a time in
// a small always-on-top window at the lower right of the screen, with "上一条",
// "下一条" and "关闭". UI thread; owns its controls and its copy of the messages.
// It does not block the main window.
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace ucm {
class RowSet;
}

class TFrmTip : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTip(QWidget* parent = nullptr);
    ~TFrmTip() override;

    // Takes the "msginfo" text of every row (throws when the column is missing),
    // shows the first message.
    void SetMsgRows(ucm::RowSet& rows);
    // The same with the texts already read.
    void SetMsgTexts(const QStringList& texts);
    void ShowCurrentMsg();

    void btn1Click();
    void btn2Click();
    void btn3Click();

    int MsgIndex() const { return MsgIndex_; }
    int MsgCount() const { return static_cast<int>(MsgRows_.size()); }

    // Where the box sits on a screen of this size with this outer (frame) size:
    // against the right edge, 50 pixels above the bottom edge.
    static QPoint PlaceOnScreen(const QSize& screen, const QSize& outer);

    QPlainTextEdit* mmo2 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* btn2 = nullptr;
    QPushButton* btn3 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStringList MsgRows_;
    int MsgIndex_ = 0;
};
