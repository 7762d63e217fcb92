// The objects that frame the drawing: the active viewport, the standard dimension
// style and the model and paper space layouts. Other readers look for all three.
#include <algorithm>

#include "dwgviewx/writer/DimensionDefaults.h"
#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

namespace {

struct Frame {
    Vec2 min{0, 0}, max{420, 297};
    Vec2 centre() const { return {(min.x + max.x) / 2, (min.y + max.y) / 2}; }
    double width() const { return std::max(max.x - min.x, 1e-6); }
    double height() const { return std::max(max.y - min.y, 1e-6); }
};

Frame modelFrame(const WriterContext& ctx) {
    Frame f;
    if (ctx.extents.valid()) {
        f.min = {ctx.extents.min.x, ctx.extents.min.y};
        f.max = {ctx.extents.max.x, ctx.extents.max.y};
    }
    return f;
}

void worldUcs(BitWriter& w) {
    w.BD3({0, 0, 0});  // origin
    w.BD3({1, 0, 0});  // x axis
    w.BD3({0, 1, 0});  // y axis
}

// The plot settings every layout starts with: nothing configured, A3 in millimetres.
void plotSettings(BitWriter& w, bool model) {
    w.T("");                              // page setup name
    w.T("none_device");                   // printer
    w.BS(model ? 1712 : 688);             // plot layout flags
    for (int i = 0; i < 4; ++i) w.BD(0);  // margins
    w.BD(420);                            // paper width
    w.BD(297);                            // paper height
    w.T("ISO_A3_(420.00_x_297.00_MM)");
    w.BD2({0, 0});        // plot origin
    w.BS(1);              // millimetres
    w.BS(0);              // no rotation
    w.BS(model ? 0 : 5);  // display (model) or layout (paper)
    w.BD2({0, 0});
    w.BD2({0, 0});
    w.T("");  // plot view name
    w.BD(1);  // real world units
    w.BD(1);  // drawing units
    w.T("");  // style sheet
    w.BS(0);  // scaled to fit
    w.BD(1);  // scale factor
    w.BD2({0, 0});
}

void layout(WriterContext& ctx, Handle self, const char* name, bool model, const Frame& frame) {
    ObjectWriter o(kClassLayout, self);
    o.beginObject(fixed::LayoutDict);
    BitWriter& w = o.data();
    plotSettings(w, model);
    w.T(name);
    w.BL(model ? 0 : 1);  // tab order
    w.BS(1);              // PSLTSCALE
    w.BD3({0, 0, 0});     // UCS origin
    w.RD2(model ? frame.min : Vec2{0, 0});
    w.RD2(model ? frame.max : Vec2{420, 297});
    w.BD3({0, 0, 0});  // insertion base
    w.BD3({1, 0, 0});
    w.BD3({0, 1, 0});
    w.BD(0);  // elevation
    w.BS(0);  // orthographic view type
    w.BD3({frame.min.x, frame.min.y, 0});
    w.BD3({frame.max.x, frame.max.y, 0});
    BitWriter& h = o.handles();
    h.H(Ref::SoftPointer, model ? ctx.blocks[0].header : ctx.blocks[1].header);
    h.nullHandle(Ref::SoftPointer);  // last active viewport
    h.nullHandle(Ref::HardPointer);  // base UCS
    h.nullHandle(Ref::HardPointer);  // named UCS
    ctx.add(self, o.finish());
}

}  // namespace

void writeViewports(WriterContext& ctx) {
    const Frame f = modelFrame(ctx);
    // The view shows the whole model with a tenth to spare on each side.
    const double height = std::max(f.height(), f.width() / 1.5) * 1.2;
    ObjectWriter o(65, fixed::ActiveVport);
    o.beginObject(fixed::VportControl);
    BitWriter& w = o.data();
    entryName(o, ctx, "*Active");
    w.BD(height);
    w.BD(height * 1.5);  // aspect ratio times the height
    w.RD2(f.centre());
    w.BD3({0, 0, 0});  // target
    w.BD3({0, 0, 1});  // direction
    w.BD(0);           // twist
    w.BD(50);          // lens length
    w.BD(0);           // front clip
    w.BD(0);           // back clip
    for (int i = 0; i < 3; ++i) w.B(false);
    w.B(true);  // front clip not at the eye
    w.RC(0);    // render mode
    w.RD2({0, 0});
    w.RD2({1, 1});
    w.B(false);  // UCSFOLLOW
    w.BS(100);   // circle zoom
    w.B(true);   // fast zoom
    w.B(true);   // UCS icon on
    w.B(true);   // at the origin
    w.B(false);  // grid off
    w.RD2({10, 10});
    w.B(false);  // snap off
    w.B(false);  // standard snap
    w.BS(0);
    w.BD(0);
    w.RD2({0, 0});
    w.RD2({10, 10});
    w.B(false);
    w.B(true);  // UCS per viewport
    worldUcs(w);
    w.BD(0);                                   // UCS elevation
    w.BS(0);                                   // orthographic type
    o.handles().nullHandle(Ref::HardPointer);  // xref block
    o.handles().nullHandle(Ref::HardPointer);  // named UCS
    o.handles().nullHandle(Ref::HardPointer);  // base UCS
    ctx.add(fixed::ActiveVport, o.finish());
}

void writeDimStyle(WriterContext& ctx) {
    ObjectWriter o(69, fixed::DimStyleStandard);
    o.beginObject(fixed::DimStyleControl);
    BitWriter& w = o.data();
    entryName(o, ctx, "Standard");
    w.T("");                                            // DIMPOST
    w.T("");                                            // DIMAPOST
    for (double d : dimdefaults::kSizes) w.BD(d);       // DIMSCALE .. DIMTM
    for (int i = 0; i < 6; ++i) w.B(i == 2 || i == 3);  // DIMTOL .. DIMSE2
    for (int i = 0; i < 3; ++i) w.BS(0);                // DIMTAD DIMZIN DIMAZIN
    for (double d : dimdefaults::kText) w.BD(d);        // DIMTXT .. DIMGAP
    w.BD(0);                                            // DIMALTRND
    w.B(false);                                         // DIMALT
    w.BS(2);                                            // DIMALTD
    for (int i = 0; i < 4; ++i) w.B(false);             // DIMTOFL DIMSAH DIMTIX DIMSOXD
    for (int i = 0; i < 3; ++i) w.BS(0);                // DIMCLRD DIMCLRE DIMCLRT
    // DIMADEC DIMDEC DIMTDEC DIMALTU DIMALTTD DIMAUNIT DIMFRAC DIMLUNIT DIMDSEP DIMTMOVE DIMJUST
    for (auto s : dimdefaults::kShorts) w.BS(s);
    w.B(false);                                             // DIMSD1
    w.B(false);                                             // DIMSD2
    for (int i = 0; i < 4; ++i) w.BS(i == 0 ? 1 : 0);       // DIMTOLJ DIMTZIN DIMALTZ DIMALTTZ
    w.B(false);                                             // DIMUPT
    w.BS(3);                                                // DIMFIT
    w.BS(-2);                                               // DIMLWD
    w.BS(-2);                                               // DIMLWE
    w.B(false);                                             // not referenced
    o.handles().nullHandle(Ref::HardPointer);               // xref block
    o.handles().H(Ref::HardPointer, fixed::StyleStandard);  // DIMTXSTY
    for (int i = 0; i < 4; ++i) o.handles().nullHandle(Ref::HardPointer);
    ctx.add(fixed::DimStyleStandard, o.finish());
}

void writeLayouts(WriterContext& ctx) {
    const Frame f = modelFrame(ctx);
    layout(ctx, fixed::LayoutModel, "Model", true, f);
    layout(ctx, fixed::LayoutPaper, "Layout1", false, Frame{});
}

}  // namespace dwg::writer
