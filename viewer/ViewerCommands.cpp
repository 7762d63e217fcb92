#include "viewer/ViewerCommands.h"

#include <QAction>
#include <QMenu>
#include <stdexcept>

#include "dwgviewx/TDwgViewX.h"
#include "platform/Dialogs.h"
#include "shell/ErrorReport.h"
#include "viewer/ViewerRules.h"

namespace viewer {

dwgviewx::TDwgViewX& ViewerCommands::viewer() const {
    if (!viewer_) throw std::runtime_error("图纸查看器未能创建");
    return *viewer_;
}

void ViewerCommands::OpenLocalFile(const QString& path) {
    try {
        viewer().OpenDrawing(path);
        recent_.touch(path);
    } catch (...) {
        platform::dialogs().messageBox(QStringLiteral("不能正确打开此文件。"),
                                       QStringLiteral("OrvaneCAD"), platform::Buttons::Ok,
                                       platform::Icon::None);
    }
}

void ViewerCommands::BuildLocalMenu(QMenu& menu) {
    menu.clear();  // also deletes the items the menu owns
    const QStringList& paths = recent_.paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        auto* item = new QAction(path, &menu);
        item->setObjectName(QStringLiteral("tbitem") + QString::number(i));
        QObject::connect(item, &QAction::triggered, &menu,
                         shell::guarded([this, path](bool) { localItemClick(path); }));
        menu.addAction(item);
    }
}

void ViewerCommands::localItemClick(const QString& path) {
    viewer().OpenDrawing(path);
    recent_.touch(path);
}

void ViewerCommands::tbtmOpenClick() {
    platform::OpenFileRequest request;
    request.filter = QStringLiteral("DWG文件|*.dwg");
    const platform::OpenFileResult chosen = platform::dialogs().openFiles(request);
    if (chosen.files.isEmpty()) return;
    OpenLocalFile(chosen.files.first());
}

void ViewerCommands::tbtmRotateClick() {
    const std::optional<QString> text = platform::dialogs().inputQuery(
        QStringLiteral("输入"), QStringLiteral("顺时针旋转角度:"), QString());
    if (!text) return;
    const std::optional<int> degrees = parseRotationInput(*text);
    if (!degrees) {
        platform::dialogs().messageBox(QStringLiteral("请输入整数。"), QStringLiteral("OrvaneCAD"),
                                       platform::Buttons::Ok, platform::Icon::None);
        return;
    }
    viewer().RotateView(rotationAngle(*degrees));
}

void ViewerCommands::tbtmBkColorClick() {
    viewer().setBackground(nextBackground(viewer().Background()));
}

}  // namespace viewer
