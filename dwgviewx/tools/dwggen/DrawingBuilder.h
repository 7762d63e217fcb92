#pragma once
// Builds a Drawing in code: tables and blocks with fresh identifiers, and entities on
// the current layer. Used by the generator and by tests; the identifiers only tie
// entities to tables (the writer numbers objects afresh). Not thread-safe.
#include <string>

#include "dwgviewx/model/Drawing.h"

namespace dwggen {

class DrawingBuilder {
public:
    DrawingBuilder();

    dwg::Handle layer(const std::string& name, int color, dwg::Handle lineType = 0);
    dwg::Handle lineType(const std::string& name, const std::string& description,
                         std::vector<double> dashes);
    dwg::Handle textStyle(const std::string& name, const std::string& font);
    // Starts a block definition; entities go into it until endBlock().
    dwg::Handle beginBlock(const std::string& name, dwg::Vec3 base = {});
    void endBlock();
    void setLayer(dwg::Handle layer) { layer_ = layer; }
    void setColor(int color) { color_ = color; }

    void line(double x1, double y1, double x2, double y2);
    void circle(double x, double y, double r);
    void arc(double x, double y, double r, double startDeg, double endDeg);
    void ellipse(double x, double y, double majorX, double majorY, double ratio);
    void point(double x, double y);
    void polyline(const std::vector<dwg::Vec2>& points, bool closed,
                  const std::vector<double>& bulges = {});
    void rectangle(double x, double y, double w, double h);
    void text(double x, double y, double height, const std::string& value, double rotDeg = 0,
              dwg::HAlign align = dwg::HAlign::Left);
    void mtext(double x, double y, double height, double width, const std::string& value);
    void insert(dwg::Handle block, double x, double y, double scale = 1, double rotDeg = 0);
    void solid(dwg::Vec2 a, dwg::Vec2 b, dwg::Vec2 c, dwg::Vec2 d);
    void solidHatch(const std::vector<dwg::Vec2>& outline);

    dwg::Drawing take();

private:
    dwg::Entity& add(dwg::Geometry g, const char* type);
    dwg::Handle next_ = 1;
    dwg::Drawing d_;
    std::size_t block_ = 0;  // index of the block that receives entities
    dwg::Handle layer_ = 0;
    int color_ = dwg::Color::ByLayer;
};

}  // namespace dwggen
