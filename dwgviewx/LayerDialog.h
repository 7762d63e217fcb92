#pragma once
// The viewer's layer dialog: every layer with its colour and a visibility tick.
// Frozen layers show their tick off and can be thawed by ticking them. The dialog
// edits a copy; the caller applies layers() when it is accepted. UI thread only.
#include <QDialog>
#include <vector>

#include "render/Scene.h"

class QTreeWidget;

namespace dwgviewx {

class LayerDialog : public QDialog {
    Q_OBJECT
public:
    LayerDialog(const std::vector<render::SceneLayer>& layers, QWidget* parent = nullptr);

    // The layers with the ticks as they are now.
    std::vector<render::SceneLayer> layers() const;
    // Ticks or clears the layer named `name`; false when there is no such layer.
    bool setLayerVisible(const QString& name, bool visible);
    QTreeWidget* list() const { return list_; }

private:
    std::vector<render::SceneLayer> layers_;
    QTreeWidget* list_ = nullptr;
};

}  // namespace dwgviewx
