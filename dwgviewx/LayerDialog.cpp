#include "LayerDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dwgviewx {

LayerDialog::LayerDialog(const std::vector<render::SceneLayer>& layers, QWidget* parent)
    : QDialog(parent), layers_(layers) {
    setWindowTitle(QStringLiteral("图层"));
    setObjectName(QStringLiteral("LayerDialog"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("layerList"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("图层"), QStringLiteral("颜色")});
    list_->setRootIsDecorated(false);
    for (const render::SceneLayer& l : layers_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromStdString(l.name));
        item->setCheckState(0, l.on && !l.frozen ? Qt::Checked : Qt::Unchecked);
        QPixmap swatch(14, 14);
        swatch.fill(l.contrast ? QColor(Qt::white) : QColor::fromRgb(l.rgb | 0xFF000000u));
        item->setIcon(1, QIcon(swatch));
        item->setText(
            1, l.contrast ? QStringLiteral("白/黑") : QColor::fromRgb(l.rgb | 0xFF000000u).name());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* all = buttons->addButton(QStringLiteral("全部显示"), QDialogButtonBox::ActionRole);
    connect(all, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < list_->topLevelItemCount(); ++i)
            list_->topLevelItem(i)->setCheckState(0, Qt::Checked);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addWidget(list_);
    box->addWidget(buttons);
    resize(360, 420);
}

std::vector<render::SceneLayer> LayerDialog::layers() const {
    std::vector<render::SceneLayer> out = layers_;
    for (int i = 0; i < list_->topLevelItemCount() && i < static_cast<int>(out.size()); ++i) {
        const bool ticked = list_->topLevelItem(i)->checkState(0) == Qt::Checked;
        auto& l = out[static_cast<std::size_t>(i)];
        if (ticked) {
            l.on = true;
            l.frozen = false;
        } else if (l.on && !l.frozen) {
            l.on = false;
        }
    }
    return out;
}

bool LayerDialog::setLayerVisible(const QString& name, bool visible) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->text(0) == name) {
            item->setCheckState(0, visible ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    }
    return false;
}

}  // namespace dwgviewx
