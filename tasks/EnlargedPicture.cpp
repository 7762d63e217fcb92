#include "tasks/EnlargedPicture.h"

#include <QVBoxLayout>

#include "tasks/ModalRunner.h"
#include "tasks/PictureBox.h"

namespace tasks {

EnlargedPicture::EnlargedPicture(const QImage& picture, QWidget* parent)
    : QDialog(parent), picture_(new PictureBox(this)) {
    setObjectName(QStringLiteral("EnlargedPicture"));
    setWindowTitle(QString());
    setFixedSize(800, 600);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);
    picture_->setStretch(true);
    picture_->setImage(picture.copy());
}

void ShowEnlargedPicture(QWidget* from, const QImage& picture) {
    QWidget* owner = from ? from->window() : nullptr;
    EnlargedPicture dialog(picture, owner);
    if (owner) {
        const QRect frame = owner->frameGeometry();
        dialog.move(frame.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
    RunModal(dialog);
}

}  // namespace tasks
