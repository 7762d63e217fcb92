#include "DrawingPrinter.h"

#include <QPainter>

#include "render/Renderer.h"

namespace dwgviewx {

bool printDrawing(QPaintDevice& device, const PrintJob& job) {
    if (!job.scene || job.scene->extents.isNull()) return false;
    QPainter p;
    if (!p.begin(&device)) return false;
    const QSize page(device.width(), device.height());
    render::ViewTransform view(page, QPointF(), 1, job.rotationDeg);
    view.fit(job.scene->extents, 0.03);
    p.fillRect(QRect(QPoint(0, 0), page), Qt::white);
    render::RenderOptions opt;
    opt.background = Qt::white;
    opt.layers = job.layers;
    const double pxPerMm = device.logicalDpiX() / 25.4;
    opt.pixelsPerMm = pxPerMm;
    opt.thinLinePx = std::max(1.0, 0.18 * pxPerMm);  // a hairline that still prints
    render::renderScene(p, *job.scene, view, opt);
    if (job.marks) markup::paintItems(p, *job.marks, view);
    return p.end();
}

}  // namespace dwgviewx
