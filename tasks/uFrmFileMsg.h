#pragma once
// The task list window "任务列表": the review tasks of one drawing, the details and
// picture of the selected task, and the commands to add, close and discard tasks.
// The main window embeds it in its right-hand panel and sets OnCaptureView. Lives on
// the UI thread; owns its controls, its task entries and the NoPicture image.
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "tasks/TFileMsg.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tasks {
class PictureBox;
}

class TFrmFileMsg : public QWidget {
    Q_OBJECT
public:
    explicit TFrmFileMsg(QWidget* parent = nullptr);
    ~TFrmFileMsg() override;

    // Fills a picture of the current view; the main window binds it to CaptureView.
    // May be empty: the new-task dialog then starts with an empty view picture.
    std::function<QImage()> OnCaptureView;

    // Loads the tasks of the drawing with this FileId and fills the list. An empty
    // FileId clears the list. Errors of the answer reach the default error report.
    void LoadFileMsgs(const QString& fileId);
    // Refills lv1 from MsgList under the "筛选待处理" filter.
    void FillMsgList();
    // Display text of a task status.
    static QString StatusText(int status);

    // Handlers, public so that the main window and tests can drive them.
    void lv1SelectItem(int row, bool selected);
    void btnNewTaskClick();
    void btnCloseClick();
    void btnDelClick();
    void chkdclClick();
    void img1Click();

    // State, read by tests and the main window.
    const QString& CurrentFileId() const { return CurrentFileId_; }
    const QString& UserFolder() const { return UserFolder_; }
    const std::vector<std::unique_ptr<TFileMsg>>& MsgList() const { return MsgList_; }
    TFileMsg* CurrentMsg() const { return CurrentMsg_; }
    const QImage& NoPicture() const { return NoPicture_; }

    // Controls.
    QWidget* pnlTopTool = nullptr;
    QPushButton* btnNewTask = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnDel = nullptr;
    QCheckBox* chkdcl = nullptr;
    QTableWidget* lv1 = nullptr;
    QWidget* pnlDetail = nullptr;
    QLabel* pnlsp = nullptr;
    QPlainTextEdit* mmoInfo = nullptr;
    tasks::PictureBox* img1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void setColumnWidths();
    void closeOrDiscard(const QString& defaultOpinion, int newStatus);
    void readRows(const QString& answer);
    void showEntry(TFileMsg& entry);
    void showPicture(const QString& path);
    TFileMsg* entryOfRow(int row) const;
    void onSelectionChanged();

    QString CurrentFileId_;
    QString UserFolder_;
    std::vector<std::unique_ptr<TFileMsg>> MsgList_;
    TFileMsg* CurrentMsg_ = nullptr;
    QImage NoPicture_;
    bool filling_ = false;  // lv1 is being refilled; selection changes are not commands
};
