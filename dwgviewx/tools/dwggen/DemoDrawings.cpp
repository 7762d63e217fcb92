#include "dwgviewx/tools/dwggen/DemoDrawings.h"

#include <cmath>
#include <random>

#include "dwgviewx/tools/dwggen/DrawingBuilder.h"

namespace dwggen {

namespace {

// A door leaf with its swing, 900 wide, hinge at the origin.
dwg::Handle doorBlock(DrawingBuilder& b, dwg::Handle layer) {
    const dwg::Handle h = b.beginBlock("DOOR");
    b.setLayer(layer);
    b.line(0, 0, 0, 900);
    b.arc(0, 0, 900, 0, 90);
    b.endBlock();
    return h;
}

dwg::Handle windowBlock(DrawingBuilder& b, dwg::Handle layer) {
    const dwg::Handle h = b.beginBlock("WINDOW");
    b.setLayer(layer);
    b.rectangle(0, -120, 1200, 240);
    b.line(0, 0, 1200, 0);
    b.endBlock();
    return h;
}

void wallBox(DrawingBuilder& b, double x, double y, double w, double h, double t) {
    b.rectangle(x, y, w, h);
    b.rectangle(x + t, y + t, w - 2 * t, h - 2 * t);
}

void dimension(DrawingBuilder& b, double x1, double y, double x2) {
    b.line(x1, y, x2, y);
    b.line(x1, y - 150, x1, y + 150);
    b.line(x2, y - 150, x2, y + 150);
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", std::fabs(x2 - x1));
    b.text((x1 + x2) / 2, y + 80, 200, text, 0, dwg::HAlign::Center);
}

}  // namespace

dwg::Drawing floorPlan() {
    DrawingBuilder b;
    const auto dashed = b.lineType("DASHED", "Dashed __ __ __", {300, -150});
    const auto walls = b.layer("WALLS", 7);
    const auto doors = b.layer("DOORS", 3);
    const auto windows = b.layer("WINDOWS", 4);
    const auto dims = b.layer("DIMENSIONS", 2);
    const auto text = b.layer("TEXT", 1);
    const auto axes = b.layer("AXES", 8, dashed);
    const auto furniture = b.layer("FURNITURE", 6);
    const auto door = doorBlock(b, doors);
    const auto window = windowBlock(b, windows);

    b.setLayer(walls);
    wallBox(b, 0, 0, 12000, 8000, 240);
    b.line(6000, 240, 6000, 7760);
    b.line(6240, 240, 6240, 7760);
    b.line(240, 4000, 6000, 4000);
    b.line(240, 4240, 6000, 4240);
    b.solidHatch({{0, 0}, {240, 0}, {240, 240}, {0, 240}});
    b.solidHatch({{11760, 7760}, {12000, 7760}, {12000, 8000}, {11760, 8000}});

    b.setLayer(doors);
    b.insert(door, 6000, 1200, 1, 0);
    b.insert(door, 2000, 4000, 1, 270);
    b.insert(door, 9000, 0, 1, 90);
    b.setLayer(windows);
    b.insert(window, 1500, 8000 - 120, 1, 0);
    b.insert(window, 8500, 8000 - 120, 1, 0);
    b.insert(window, 12000 - 120, 3000, 1, 90);

    b.setLayer(axes);
    b.line(-1000, 4120, 13000, 4120);
    b.line(6120, -1000, 6120, 9000);
    b.circle(-1300, 4120, 300);
    b.text(-1300, 4120, 250, "A", 0, dwg::HAlign::Middle);

    b.setLayer(furniture);
    b.rectangle(7000, 5000, 1800, 2000);  // bed
    b.rectangle(1000, 5000, 2400, 1000);  // sofa
    b.circle(3000, 2000, 600);            // table
    b.ellipse(9500, 2000, 500, 0, 0.6);   // bath

    b.setLayer(text);
    b.text(2500, 6500, 300, "客厅 Living room");
    b.text(8000, 6500, 300, "卧室 Bedroom");
    b.text(2500, 2500, 300, "厨房 Kitchen");
    b.text(8500, 1000, 300, "卫生间 Bath");
    b.mtext(0, -1500, 250, 8000, "一层平面图\\PGround floor plan, scale 1:100");

    b.setLayer(dims);
    dimension(b, 0, 9000, 6000);
    dimension(b, 6000, 9000, 12000);
    dimension(b, 0, 9600, 12000);
    return b.take();
}

dwg::Drawing mechanicalPart() {
    DrawingBuilder b;
    const auto center = b.lineType("CENTER", "Center ____ _ ____", {32, -6, 6, -6});
    const auto outline = b.layer("OUTLINE", 7);
    const auto centers = b.layer("CENTERLINES", 1, center);
    const auto hidden = b.layer("HIDDEN", 5);
    const auto notes = b.layer("NOTES", 3);

    b.setLayer(outline);
    // A flange plate 200 x 120 with rounded corners (bulge = tan(90°/4)).
    const double k = std::tan(std::numbers::pi / 8);
    b.polyline({{20, 0}, {180, 0}, {200, 20}, {200, 100}, {180, 120}, {20, 120}, {0, 100}, {0, 20}},
               true, {0, k, 0, k, 0, k, 0, k});
    b.circle(100, 60, 30);
    b.circle(100, 60, 40);
    for (double x : {25.0, 175.0}) {
        for (double y : {25.0, 95.0}) b.circle(x, y, 8);
    }
    b.setLayer(hidden);
    b.circle(100, 60, 45);
    b.setLayer(centers);
    b.line(-10, 60, 210, 60);
    b.line(100, -10, 100, 130);
    b.setLayer(notes);
    b.text(0, -20, 6, "法兰盘 Flange plate, steel Q235, t = 12");
    b.mtext(120, -30, 4, 80, "技术要求:\\P1. 未注倒角 C1\\P2. Remove all burrs");
    return b.take();
}

dwg::Drawing sitePlan() {
    DrawingBuilder b;
    const auto boundary = b.layer("BOUNDARY", 1);
    const auto roads = b.layer("ROADS", 8);
    const auto buildings = b.layer("BUILDINGS", 7);
    const auto green = b.layer("GREEN", 3);
    const auto labels = b.layer("LABELS", 2);
    const auto tree = b.beginBlock("TREE");
    b.setLayer(green);
    b.circle(0, 0, 2.5);
    b.line(-1.5, 0, 1.5, 0);
    b.line(0, -1.5, 0, 1.5);
    b.endBlock();

    b.setLayer(boundary);
    b.polyline({{0, 0}, {160, 0}, {180, 90}, {100, 140}, {0, 120}}, true);
    b.setLayer(roads);
    b.line(-20, -10, 200, -10);
    b.line(-20, -20, 200, -20);
    b.arc(200, 40, 50, 270, 360);
    b.setLayer(buildings);
    for (int i = 0; i < 4; ++i) {
        b.rectangle(15 + i * 35, 20, 25, 40);
        b.solidHatch(
            {{15 + i * 35.0, 20}, {40 + i * 35.0, 20}, {40 + i * 35.0, 24}, {15 + i * 35.0, 24}});
    }
    b.rectangle(40, 80, 60, 30);
    b.setLayer(green);
    for (int i = 0; i < 12; ++i) b.insert(tree, 10 + i * 13, 70, 1, 0);
    b.setLayer(labels);
    b.text(20, 65, 3, "1#楼");
    b.text(55, 65, 3, "2#楼");
    b.text(90, 65, 3, "3#楼");
    b.text(125, 65, 3, "4#楼");
    b.text(45, 95, 4, "会所 Club house");
    b.mtext(0, -35, 5, 150, "总平面图 Site plan 1:1000");
    return b.take();
}

std::vector<Demo> demoDrawings() {
    std::vector<Demo> out;
    out.push_back({"floor-plan.dwg", floorPlan()});
    out.push_back({"flange-plate.dwg", mechanicalPart()});
    out.push_back({"site-plan.dwg", sitePlan()});
    return out;
}

dwg::Drawing synthetic(std::size_t entities, std::uint32_t seed) {
    DrawingBuilder b;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<dwg::Handle> layers;
    for (int i = 0; i < 12; ++i) {
        layers.push_back(b.layer("LAYER-" + std::to_string(i), 1 + i * 20 % 255));
    }
    std::vector<dwg::Handle> blocks;
    for (int i = 0; i < 4; ++i) {
        blocks.push_back(b.beginBlock("PART-" + std::to_string(i)));
        b.rectangle(0, 0, 4 + i, 3);
        b.circle(2, 1.5, 1);
        b.line(0, 0, 4 + i, 3);
        b.endBlock();
    }
    // A plan of about 1 km per 100 000 entities, so density stays realistic.
    const double side = 200.0 * std::sqrt(static_cast<double>(entities) / 1000.0 + 1.0);
    for (std::size_t i = 0; i < entities; ++i) {
        b.setLayer(layers[i % layers.size()]);
        const double x = unit(rng) * side, y = unit(rng) * side;
        const double s = 0.5 + unit(rng) * 4.0;
        const double pick = unit(rng);
        if (pick < 0.45) {
            b.line(x, y, x + s * (unit(rng) - 0.5) * 2, y + s * (unit(rng) - 0.5) * 2);
        } else if (pick < 0.60) {
            b.circle(x, y, s / 2);
        } else if (pick < 0.70) {
            b.arc(x, y, s, unit(rng) * 360, unit(rng) * 360);
        } else if (pick < 0.85) {
            b.polyline({{x, y}, {x + s, y}, {x + s, y + s / 2}, {x, y + s}}, unit(rng) < 0.5);
        } else if (pick < 0.93) {
            b.text(x, y, s / 4, "T" + std::to_string(i));
        } else {
            b.insert(blocks[i % blocks.size()], x, y, 0.5 + unit(rng), unit(rng) * 360);
        }
    }
    return b.take();
}

}  // namespace dwggen
