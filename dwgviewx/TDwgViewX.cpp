#include "TDwgViewX.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabBar>
#include <QToolBar>
#include <stdexcept>

#include "DialogRunner.h"
#include "DrawingPrinter.h"
#include "LayerDialog.h"
#include "TDwgViewXImpl.h"
#include "dwgviewx/dwg/Decoder.h"
#include "render/Renderer.h"
#include "render/SceneBuilder.h"
#include "render/TextLayout.h"

namespace dwgviewx {

namespace {
constexpr int kRefreshDelayMs = 15;
}

TDwgViewX::Impl::Impl(TDwgViewX* owner) : q(owner) {
    refresh.setSingleShot(true);
    refresh.setInterval(kRefreshDelayMs);
}

QColor TDwgViewX::Impl::backgroundColour() const {
    const int v = std::clamp<int>(background, 0, 255);
    return QColor(v, v, v);
}

QColor TDwgViewX::Impl::inkColour() const {
    return render::contrastOf(backgroundColour());
}

void TDwgViewX::Impl::invalidate() {
    frameValid = false;
    q->update();
}

void TDwgViewX::Impl::viewMoved() {
    if (!refresh.isActive()) refresh.start();
    q->update();
}

QImage TDwgViewX::Impl::render(QSize size, const render::ViewTransform& v) const {
    const qreal dpr = q->devicePixelRatioF();
    QImage img(size * dpr, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(backgroundColour());
    if (scene) {
        QPainter p(&img);
        render::RenderOptions opt;
        opt.background = backgroundColour();
        opt.layers = &layers;
        render::renderScene(p, *scene, v, opt);
    }
    return img;
}

void TDwgViewX::Impl::renderNow() {
    refresh.stop();
    view.setViewport(q->size().expandedTo(QSize(1, 1)));
    frame = render(view.viewport(), view);
    frameView = view;
    frameValid = true;
}

void TDwgViewX::Impl::startCommand(Mode m) {
    measurement.reset();  // a result stays only until the next command
    leaveMode();
    mode = m;
    updateCursor();
    q->update();
}

void TDwgViewX::Impl::leaveMode() {
    cancelEditor();
    measureStart.reset();
    rubber.reset();
    mode = Mode::None;
    updateCursor();
    q->update();
}

void TDwgViewX::Impl::updateCursor() {
    switch (mode) {
        case Mode::Pan:
            q->setCursor(Qt::OpenHandCursor);
            break;
        case Mode::None:
            q->unsetCursor();
            break;
        case Mode::MarkRedText:
            q->setCursor(Qt::IBeamCursor);
            break;
        default:
            q->setCursor(Qt::CrossCursor);
            break;
    }
}

void TDwgViewX::Impl::zoomToDeviceRect(const QRectF& r) {
    if (r.width() < 4 || r.height() < 4) {
        view.zoomAbout(r.center(), 2.0);  // a click zooms in about the point
    } else {
        const QPointF centre = view.toWorld(r.center());
        const double factor = std::min(q->width() / static_cast<double>(r.width()),
                                       q->height() / static_cast<double>(r.height()));
        view = render::ViewTransform(view.viewport(), centre, view.scale(), view.rotation());
        view.zoomAbout(QPointF(q->width() / 2.0, q->height() / 2.0), factor);
    }
    viewMoved();
}

// ---- operations ---------------------------------------------------------------

TDwgViewX::TDwgViewX(QWidget* parent) : QWidget(parent), d(std::make_unique<Impl>(this)) {
    setObjectName(QStringLiteral("DwgViewX"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(64, 64);
    render::FontResolver::registerSubstitutions();
    connect(&d->refresh, &QTimer::timeout, this, [this] {
        d->renderNow();
        update();
    });
}

TDwgViewX::~TDwgViewX() = default;

void TDwgViewX::OpenDrawing(const QString& path) {
    d->startCommand(Mode::None);
    if (path.isEmpty()) {
        d->scene.reset();
        d->layers.clear();
        d->marks.clear();
        d->path.clear();
        d->frame = QImage();
        d->invalidate();
        return;
    }
    // The decoder reads the whole file into memory and closes it before returning,
    // so the file is never held open while it is shown.
    dwg::Result<dwg::Drawing> result = dwg::readFile(QFile::encodeName(path).toStdString());
    if (!result.ok()) {
        throw std::runtime_error(
            QStringLiteral("无法打开图纸 %1：%2")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(result.error()))
                .toStdString());
    }
    showDrawing(result.value(), path);
}

void TDwgViewX::showDrawing(const dwg::Drawing& drawing, const QString& path) {
    d->startCommand(Mode::None);
    d->scene = std::make_shared<render::Scene>(render::buildScene(drawing));
    d->layers = d->scene->layers;
    d->marks.clear();
    d->path = path;
    d->view = render::ViewTransform(size().expandedTo(QSize(1, 1)), QPointF(), 1, 0);
    ZoomFit();
    d->invalidate();
}

void TDwgViewX::ZoomFit() {
    d->startCommand(Mode::None);
    d->view.setViewport(size().expandedTo(QSize(1, 1)));
    if (d->scene && !d->scene->extents.isNull()) d->view.fit(d->scene->extents);
    d->viewMoved();
}

void TDwgViewX::ZoomIn() {
    d->startCommand(Mode::None);
    d->view.zoomAbout(QPointF(width() / 2.0, height() / 2.0), 2.0);
    d->viewMoved();
}

void TDwgViewX::ZoomOut() {
    d->startCommand(Mode::None);
    d->view.zoomAbout(QPointF(width() / 2.0, height() / 2.0), 0.5);
    d->viewMoved();
}

void TDwgViewX::ZoomWindow() {
    d->startCommand(Mode::ZoomWindow);
}
void TDwgViewX::Pan() {
    d->startCommand(Mode::Pan);
}

void TDwgViewX::PrintDrawing() {
    d->startCommand(Mode::None);
    if (!d->scene) throw std::runtime_error("没有打开的图纸可以打印。");
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(d->scene->extents.width() >= d->scene->extents.height()
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (runDialog(dialog) != QDialog::Accepted) return;
    PrintJob job;
    job.scene = d->scene.get();
    job.layers = &d->layers;
    job.marks = &d->marks;
    job.rotationDeg = d->view.rotation();
    if (!printDrawing(printer, job)) throw std::runtime_error("打印失败：无法使用所选打印机。");
}

void TDwgViewX::RotateView(float degreesClockwise) {
    d->startCommand(Mode::None);
    // Rotate about the view's centre: the world point there stays there.
    d->view.rotateBy(static_cast<double>(degreesClockwise));
    d->viewMoved();
}

void TDwgViewX::ShowLayers() {
    d->startCommand(Mode::None);
    LayerDialog dialog(d->layers, this);
    if (runDialog(dialog) != QDialog::Accepted) return;
    setLayers(dialog.layers());
}

void TDwgViewX::Measure() {
    d->startCommand(Mode::Measure);
}
void TDwgViewX::MarkLine() {
    d->startCommand(Mode::MarkLine);
}
void TDwgViewX::MarkRedText() {
    d->startCommand(Mode::MarkRedText);
}
void TDwgViewX::MarkRectTextBox() {
    d->startCommand(Mode::MarkRectTextBox);
}
void TDwgViewX::MarkRoundTextBox() {
    d->startCommand(Mode::MarkRoundTextBox);
}
void TDwgViewX::MarkEllipseTextBox() {
    d->startCommand(Mode::MarkEllipseTextBox);
}
void TDwgViewX::MarkCloudTextBox() {
    d->startCommand(Mode::MarkCloudTextBox);
}

// ---- properties ---------------------------------------------------------------

QString TDwgViewX::FontPath() const {
    return d->fontPath;
}

void TDwgViewX::setFontPath(const QString& path) {
    d->fontPath = path;
    // The folder may hold TrueType fonts the drawings name; make them available.
    QString local = path;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QDir dir(local);
    if (path.isEmpty() || !dir.exists()) return;
    for (const QString& f :
         dir.entryList({"*.ttf", "*.ttc", "*.otf", "*.TTF", "*.TTC", "*.OTF"}, QDir::Files))
        QFontDatabase::addApplicationFont(dir.filePath(f));
}

bool TDwgViewX::ShowToobar() const {
    return d->showToolbar;
}
void TDwgViewX::setShowToobar(bool on) {
    d->showToolbar = on;
    if (on && !d->toolbar) d->buildToolbar();
    if (d->toolbar) d->toolbar->setVisible(on);
}

bool TDwgViewX::EnableContextMenu() const {
    return d->contextMenu;
}
void TDwgViewX::setEnableContextMenu(bool on) {
    d->contextMenu = on;
}

bool TDwgViewX::ShowLayoutBar() const {
    return d->layoutBar;
}
void TDwgViewX::setShowLayoutBar(bool on) {
    d->layoutBar = on;
    if (on && !d->layoutTabs) d->buildLayoutBar();
    if (d->layoutTabs) d->layoutTabs->setVisible(on);
}

short TDwgViewX::Background() const {
    return d->background;
}
void TDwgViewX::setBackground(short value) {
    if (d->background == value) return;
    d->background = value;
    d->invalidate();
}

QString TDwgViewX::currentPath() const {
    return d->path;
}

// ---- state access ---------------------------------------------------------------

TDwgViewX::Mode TDwgViewX::mode() const {
    return d->mode;
}
const render::ViewTransform& TDwgViewX::view() const {
    return d->view;
}
void TDwgViewX::setView(const render::ViewTransform& view) {
    d->view = view;
    d->view.setViewport(size().expandedTo(QSize(1, 1)));
    d->viewMoved();
}
const render::Scene* TDwgViewX::scene() const {
    return d->scene.get();
}
const std::vector<MarkItem>& TDwgViewX::marks() const {
    return d->marks;
}
std::optional<Measurement> TDwgViewX::measurement() const {
    return d->measurement;
}
std::vector<render::SceneLayer> TDwgViewX::layers() const {
    return d->layers;
}

void TDwgViewX::setLayers(const std::vector<render::SceneLayer>& layers) {
    if (layers.size() != d->layers.size()) return;  // states of another drawing
    d->layers = layers;
    d->invalidate();
}

QImage TDwgViewX::renderFrame() const {
    render::ViewTransform v = d->view;
    v.setViewport(size().expandedTo(QSize(1, 1)));
    return d->render(v.viewport(), v);
}

// ---- painting -------------------------------------------------------------------

void TDwgViewX::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor bg = d->backgroundColour();
    if (!d->scene) {
        p.fillRect(rect(), bg);
        p.setPen(d->inkColour());
        QFont f = font();
        f.setPixelSize(16);
        p.setFont(f);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("未打开图纸"));
        return;
    }
    d->view.setViewport(size().expandedTo(QSize(1, 1)));
    if (!d->frameValid || d->frame.isNull()) d->renderNow();
    if (d->frameView == d->view) {
        p.drawImage(QPoint(0, 0), d->frame);
    } else {
        // Show the last frame moved to where the view now is while a new one is made.
        p.fillRect(rect(), bg);
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setTransform(d->frameView.matrix().inverted() * d->view.matrix());
        p.drawImage(QPoint(0, 0), d->frame);
        p.restore();
        if (!d->refresh.isActive()) d->refresh.start();
    }
    markup::paintItems(p, d->marks, d->view);
    if (d->pending) markup::paintItem(p, *d->pending, d->view);
    if (d->measurement) markup::paintMeasurement(p, *d->measurement, d->view, d->inkColour());
    if (d->measureStart) {
        QPen pen(QColor(0, 200, 255), 1, Qt::DashLine);
        p.setPen(pen);
        p.drawLine(d->view.toDevice(*d->measureStart), QPointF(d->hoverPos));
    }
    if (d->rubber) {
        QPen pen(d->mode == Mode::ZoomWindow ? d->inkColour() : markup::kRed, 1, Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (d->mode == Mode::MarkLine)
            p.drawLine(d->rubber->topLeft(), d->rubber->bottomRight());
        else
            p.drawRect(d->rubber->normalized());
    }
}

void TDwgViewX::resizeEvent(QResizeEvent*) {
    d->view.setViewport(size().expandedTo(QSize(1, 1)));
    if (d->layoutTabs) d->layoutTabs->setGeometry(0, height() - 24, std::min(width(), 240), 24);
    d->invalidate();
}

}  // namespace dwgviewx
