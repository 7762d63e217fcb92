#include "dwgviewx/tools/dwggen/DrawingBuilder.h"

#include <numbers>

namespace dwggen {

namespace {
double rad(double deg) {
    return deg * std::numbers::pi / 180.0;
}
}  // namespace

DrawingBuilder::DrawingBuilder() {
    layer_ = layer("0", 7);
    dwg::Block model;
    model.handle = next_++;
    model.name = "*Model_Space";
    model.isLayout = true;
    d_.blocks.push_back(model);
    dwg::Block paper;
    paper.handle = next_++;
    paper.name = "*Paper_Space";
    paper.isLayout = true;
    d_.blocks.push_back(paper);
    d_.header.modelSpace = d_.blocks[0].handle;
    d_.header.paperSpace = d_.blocks[1].handle;
    textStyle("STANDARD", "txt");
}

dwg::Handle DrawingBuilder::layer(const std::string& name, int color, dwg::Handle lineType) {
    dwg::Layer l;
    l.handle = next_++;
    l.name = name;
    l.color.index = color;
    l.lineType = lineType;
    d_.layers.push_back(l);
    return l.handle;
}

dwg::Handle DrawingBuilder::lineType(const std::string& name, const std::string& description,
                                     std::vector<double> dashes) {
    dwg::LineType lt;
    lt.handle = next_++;
    lt.name = name;
    lt.description = description;
    for (double d : dashes) lt.patternLength += d < 0 ? -d : d;
    lt.dashes = std::move(dashes);
    d_.lineTypes.push_back(lt);
    return lt.handle;
}

dwg::Handle DrawingBuilder::textStyle(const std::string& name, const std::string& font) {
    dwg::TextStyle s;
    s.handle = next_++;
    s.name = name;
    s.fontFile = font;
    d_.textStyles.push_back(s);
    return s.handle;
}

dwg::Handle DrawingBuilder::beginBlock(const std::string& name, dwg::Vec3 base) {
    dwg::Block b;
    b.handle = next_++;
    b.name = name;
    b.basePoint = base;
    d_.blocks.push_back(b);
    block_ = d_.blocks.size() - 1;
    return b.handle;
}

void DrawingBuilder::endBlock() {
    block_ = 0;
}

dwg::Entity& DrawingBuilder::add(dwg::Geometry g, const char* type) {
    dwg::Entity e;
    e.handle = next_++;
    e.owner = d_.blocks[block_].handle;
    e.type = type;
    e.layer = layer_;
    e.color.index = color_;
    e.geometry = std::move(g);
    d_.blocks[block_].entities.push_back(std::move(e));
    return d_.blocks[block_].entities.back();
}

void DrawingBuilder::line(double x1, double y1, double x2, double y2) {
    add(dwg::Line{{x1, y1, 0}, {x2, y2, 0}}, "LINE");
}

void DrawingBuilder::circle(double x, double y, double r) {
    add(dwg::Circle{{x, y, 0}, r}, "CIRCLE");
}

void DrawingBuilder::arc(double x, double y, double r, double startDeg, double endDeg) {
    add(dwg::Arc{{x, y, 0}, r, rad(startDeg), rad(endDeg)}, "ARC");
}

void DrawingBuilder::ellipse(double x, double y, double majorX, double majorY, double ratio) {
    dwg::Ellipse e;
    e.center = {x, y, 0};
    e.majorAxis = {majorX, majorY, 0};
    e.axisRatio = ratio;
    add(e, "ELLIPSE");
}

void DrawingBuilder::point(double x, double y) {
    add(dwg::Point{{x, y, 0}, 0}, "POINT");
}

void DrawingBuilder::polyline(const std::vector<dwg::Vec2>& points, bool closed,
                              const std::vector<double>& bulges) {
    dwg::Polyline p;
    p.closed = closed;
    for (std::size_t i = 0; i < points.size(); ++i) {
        dwg::PolyVertex v;
        v.position = {points[i].x, points[i].y, 0};
        v.bulge = i < bulges.size() ? bulges[i] : 0;
        p.vertices.push_back(v);
    }
    add(std::move(p), "LWPOLYLINE");
}

void DrawingBuilder::rectangle(double x, double y, double w, double h) {
    polyline({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, true);
}

void DrawingBuilder::text(double x, double y, double height, const std::string& value,
                          double rotDeg, dwg::HAlign align) {
    dwg::Text t;
    t.value = value;
    t.insertion = {x, y, 0};
    t.alignment = {x, y, 0};
    t.height = height;
    t.rotation = rad(rotDeg);
    t.hAlign = align;
    add(std::move(t), "TEXT");
}

void DrawingBuilder::mtext(double x, double y, double height, double width,
                           const std::string& value) {
    dwg::MText m;
    m.value = value;
    m.insertion = {x, y, 0};
    m.height = height;
    m.rectWidth = width;
    add(std::move(m), "MTEXT");
}

void DrawingBuilder::insert(dwg::Handle block, double x, double y, double scale, double rotDeg) {
    dwg::Insert ins;
    ins.block = block;
    ins.insertion = {x, y, 0};
    ins.scale = {scale, scale, scale};
    ins.rotation = rad(rotDeg);
    add(ins, "INSERT");
}

void DrawingBuilder::solid(dwg::Vec2 a, dwg::Vec2 b, dwg::Vec2 c, dwg::Vec2 d) {
    dwg::Solid s;
    s.corners[0] = {a.x, a.y, 0};
    s.corners[1] = {b.x, b.y, 0};
    s.corners[2] = {c.x, c.y, 0};
    s.corners[3] = {d.x, d.y, 0};
    add(s, "SOLID");
}

void DrawingBuilder::solidHatch(const std::vector<dwg::Vec2>& outline) {
    dwg::Hatch h;
    h.solid = true;
    h.patternName = "SOLID";
    dwg::HatchLoop loop;
    loop.isPolyline = true;
    loop.closed = true;
    for (const auto& p : outline) {
        dwg::PolyVertex v;
        v.position = {p.x, p.y, 0};
        loop.polyline.push_back(v);
    }
    h.loops.push_back(std::move(loop));
    add(std::move(h), "HATCH");
}

dwg::Drawing DrawingBuilder::take() {
    return std::move(d_);
}

}  // namespace dwggen
