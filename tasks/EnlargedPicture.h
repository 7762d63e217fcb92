#pragma once
// The enlarged picture window: 800 × 600 pixels, no caption text, centred on the
// window it is opened from, its whole client area a stretched copy of a picture.
// Shown modally and disposed of when closed. UI thread.
#include <QDialog>
#include <QImage>

namespace tasks {

class PictureBox;

class EnlargedPicture : public QDialog {
    Q_OBJECT
public:
    EnlargedPicture(const QImage& picture, QWidget* parent);
    PictureBox* picture() const { return picture_; }

private:
    PictureBox* picture_;
};

// Opens the window for `picture` (a copy is taken), centred on `from`'s window.
void ShowEnlargedPicture(QWidget* from, const QImage& picture);

}  // namespace tasks
