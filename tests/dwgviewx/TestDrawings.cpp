#include "TestDrawings.h"

#include <QPainter>

namespace testdraw {

dwg::Drawing emptyDrawing() {
    dwg::Drawing d;
    addLayer(d, kLayer0, "0", 7);
    addBlock(d, kModel, "*Model_Space");
    d.header.modelSpace = kModel;
    return d;
}

dwg::Layer& addLayer(dwg::Drawing& d, dwg::Handle h, const std::string& name, int colour) {
    dwg::Layer l;
    l.handle = h;
    l.name = name;
    l.color.index = colour;
    d.layers.push_back(l);
    return d.layers.back();
}

dwg::Block& addBlock(dwg::Drawing& d, dwg::Handle h, const std::string& name, dwg::Vec3 base) {
    dwg::Block b;
    b.handle = h;
    b.name = name;
    b.basePoint = base;
    d.blocks.push_back(b);
    return d.blocks.back();
}

dwg::Entity& add(dwg::Block& b, dwg::Geometry g, dwg::Handle layer) {
    dwg::Entity e;
    e.handle = 0x100 + b.entities.size();
    e.layer = layer;
    e.geometry = std::move(g);
    b.entities.push_back(std::move(e));
    return b.entities.back();
}

dwg::Entity& add(dwg::Drawing& d, dwg::Geometry g, dwg::Handle layer) {
    for (auto& b : d.blocks)
        if (b.handle == kModel) return add(b, std::move(g), layer);
    return add(d.blocks.front(), std::move(g), layer);
}

dwg::Line line(double x0, double y0, double x1, double y1) {
    dwg::Line l;
    l.start = {x0, y0, 0};
    l.end = {x1, y1, 0};
    return l;
}

QImage renderAt(const dwgviewx::render::Scene& s, const dwgviewx::render::ViewTransform& v,
                QColor bg, const std::vector<dwgviewx::render::SceneLayer>* layers) {
    QImage img(v.viewport(), QImage::Format_RGB32);
    img.fill(bg);
    QPainter p(&img);
    dwgviewx::render::RenderOptions opt;
    opt.background = bg;
    opt.antialias = false;
    opt.layers = layers;
    dwgviewx::render::renderScene(p, s, v, opt);
    return img;
}

QRect inkBox(const QImage& img, QColor bg) {
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    const QRgb b = bg.rgb();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != b) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

int countColour(const QImage& img, QColor colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour.rgb();
    return n;
}

int countNear(const QImage& img, QColor colour, int tolerance) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) <= tolerance &&
                 std::abs(c.green() - colour.green()) <= tolerance &&
                 std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

}  // namespace testdraw

// Every test program here needs a Qt application for fonts and widgets.
#include <gtest/gtest.h>
#include <QApplication>

namespace {
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "dwgviewx_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace
