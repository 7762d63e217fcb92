#pragma once
// The new-task dialog "添加任务": a description and a picture for one review task of
// a drawing. Saving writes the picture as a JPEG file in the user folder, posts the
// task with the file and renames the file to the service's name. UI thread; shown
// modally by the task list; owns its controls, reads but never owns ViewBitmap.
#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tasks {
class PictureBox;
}

class TFrmNewMsg : public QDialog {
    Q_OBJECT
public:
    explicit TFrmNewMsg(QWidget* parent = nullptr);
    ~TFrmNewMsg() override;

    // The captured view, the drawing's FileId and the folder for the picture file
    // (ends with a separator). Called before the dialog is shown.
    void SetupNewMsg(const QImage& viewBitmap, const QString& fileId, const QString& picFolder);

    void btnPastClick();
    void img1Click();
    void btnPostClick();
    void btnClClick();

    // The picture a save sends: the one shown in img1 when there is one (what the
    // user sees is what the user expects to send), otherwise ViewBitmap.
    QImage PictureToSend() const;

    const QImage& ViewBitmap() const { return ViewBitmap_; }
    const QString& TargetFileId() const { return TargetFileId_; }
    const QString& PicFolder() const { return PicFolder_; }

    // The time-stamp file name of a moment: "yyyy-MM-dd_HH-mm-ss", no extension.
    static QString TimeStampName(const QDateTime& moment);

    QWidget* pnl3 = nullptr;
    QLabel* pnl3Caption = nullptr;
    QPlainTextEdit* mmoInfo = nullptr;
    QWidget* pnl4 = nullptr;
    QPushButton* btnPast = nullptr;
    tasks::PictureBox* img1 = nullptr;
    QWidget* pnl1 = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCl = nullptr;

private:
    void buildControls();
    void finishSavedPicture(const QString& timeStampPath, const QString& storedPath);

    QImage ViewBitmap_;
    QString TargetFileId_;
    QString PicFolder_;
};
