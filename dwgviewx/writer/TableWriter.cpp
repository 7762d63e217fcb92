// Control objects, table records and dictionaries of an R2000 file.
#include <algorithm>
#include <cmath>

#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

void entryName(ObjectWriter& o, const WriterContext& ctx, const std::string& name) {
    o.data().T(ctx.encode(name));
    o.data().B(false);  // 64-flag
    o.data().BS(0);     // xref index + 1
    o.data().B(false);  // xref dependent
}

namespace {

void control(WriterContext& ctx, int type, Handle self, const std::vector<Handle>& entries,
             const std::vector<Handle>& hardOwned = {}) {
    ObjectWriter o(type, self);
    o.beginObject(0);
    o.data().BL(static_cast<std::int32_t>(entries.size()));
    if (type == 68) o.data().RC(0);  // the dimension style control's count of extra handles
    for (Handle h : entries) o.handles().H(Ref::SoftOwner, h);
    for (Handle h : hardOwned) o.handles().H(Ref::HardOwner, h);
    ctx.add(self, o.finish());
}

void layerRecord(WriterContext& ctx, const Layer* src, Handle self) {
    ObjectWriter o(51, self);
    o.beginObject(fixed::LayerControl);
    entryName(o, ctx, src ? src->name : "0");
    const int lwIndex = src ? lineWeightIndex(src->lineWeight) : 31;
    int values = 16;  // plotted
    if (src && src->frozen) values |= 1;
    if (src && src->off) values |= 2;
    if (src && src->locked) values |= 8;
    values |= (lwIndex & 0x1F) << 5;
    o.data().BS(static_cast<std::int16_t>(values));
    int color = src ? std::clamp(src->color.index, 1, 255) : 7;
    if (src && src->off) color = -color;  // how the format marks a layer that is off
    o.data().BS(static_cast<std::int16_t>(color));
    o.handles().nullHandle(Ref::HardPointer);                 // xref block
    o.handles().H(Ref::HardPointer, fixed::PlotStyleNormal);  // plot style
    int flags = 0;
    Handle lt = src ? ctx.lineType(src->lineType, &flags) : 0;
    if (flags != 3) lt = fixed::LTypeContinuous;
    o.handles().H(Ref::HardPointer, lt);
    ctx.add(self, o.finish());
}

void lineTypeRecord(WriterContext& ctx, Handle self, const std::string& name,
                    const std::string& description, const std::vector<double>& dashes) {
    ObjectWriter o(57, self);
    o.beginObject(fixed::LTypeControl);
    entryName(o, ctx, name);
    o.data().T(ctx.encode(description));
    double length = 0;
    for (double d : dashes) length += std::fabs(d);
    o.data().BD(length);
    o.data().RC('A');
    const std::size_t n = std::min<std::size_t>(dashes.size(), 255);
    o.data().RC(static_cast<std::uint8_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        o.data().BD(dashes[i]);
        o.data().BS(0);  // complex shape code
        o.data().RD(0);  // x offset
        o.data().RD(0);  // y offset
        o.data().BD(1);  // scale
        o.data().BD(0);  // rotation
        o.data().BS(0);  // shape flag
    }
    const std::uint8_t strings[256] = {};
    o.data().rawBytes(strings, sizeof strings);
    o.handles().nullHandle(Ref::HardPointer);  // xref block
    for (std::size_t i = 0; i < n; ++i) o.handles().nullHandle(Ref::HardPointer);
    ctx.add(self, o.finish());
}

void styleRecord(WriterContext& ctx, Handle self, const TextStyle* src) {
    ObjectWriter o(53, self);
    o.beginObject(fixed::StyleControl);
    entryName(o, ctx, src ? src->name : "STANDARD");
    o.data().B(false);                           // vertical
    o.data().B(src ? src->isShapeFile : false);  // shape file
    o.data().BD(src ? src->fixedHeight : 0);
    o.data().BD(src && src->widthFactor > 0 ? src->widthFactor : 1);
    o.data().BD(src ? src->obliqueAngle : 0);
    o.data().RC(0);    // generation
    o.data().BD(2.5);  // last height
    o.data().T(ctx.encode(src && !src->fontFile.empty() ? src->fontFile : "txt"));
    o.data().T(ctx.encode(src ? src->bigFontFile : ""));
    o.handles().nullHandle(Ref::HardPointer);  // xref block
    ctx.add(self, o.finish());
}

void appIdRecord(WriterContext& ctx) {
    ObjectWriter o(67, fixed::AppIdAcad);
    o.beginObject(fixed::AppIdControl);
    entryName(o, ctx, "ACAD");
    o.data().RC(0);
    o.handles().nullHandle(Ref::HardPointer);  // xref block
    ctx.add(fixed::AppIdAcad, o.finish());
}

void dictionary(WriterContext& ctx, Handle self, Handle owner,
                const std::vector<std::pair<std::string, Handle>>& items) {
    ObjectWriter o(42, self);
    o.beginObject(owner);
    o.data().BL(static_cast<std::int32_t>(items.size()));
    o.data().BS(1);  // cloning: keep existing
    o.data().RC(0);  // not a hard owner
    for (const auto& [name, h] : items) {
        o.data().T(ctx.encode(name));
        o.handles().H(Ref::SoftOwner, h);
    }
    ctx.add(self, o.finish());
}

}  // namespace

void writeTables(WriterContext& ctx) {
    // Blocks.
    std::vector<Handle> userBlocks;
    for (std::size_t i = 2; i < ctx.blocks.size(); ++i) userBlocks.push_back(ctx.blocks[i].header);
    control(ctx, 48, fixed::BlockControl, userBlocks, {ctx.blocks[0].header, ctx.blocks[1].header});

    // Layers.
    std::vector<Handle> layers{fixed::Layer0};
    layerRecord(ctx, ctx.layerZero, fixed::Layer0);
    for (const auto& [src, h] : ctx.layers) {
        layers.push_back(h);
        layerRecord(ctx, src, h);
    }
    control(ctx, 50, fixed::LayerControl, layers);

    // Text styles.
    std::vector<Handle> styles{fixed::StyleStandard};
    styleRecord(ctx, fixed::StyleStandard, ctx.standardStyle);
    for (const auto& [src, h] : ctx.styles) {
        styles.push_back(h);
        styleRecord(ctx, h, src);
    }
    control(ctx, 52, fixed::StyleControl, styles);

    // Line types: BYBLOCK and BYLAYER stand after the entries, as hard owned.
    std::vector<Handle> ltypes{fixed::LTypeContinuous};
    lineTypeRecord(ctx, fixed::LTypeByBlock, "ByBlock", "", {});
    lineTypeRecord(ctx, fixed::LTypeByLayer, "ByLayer", "", {});
    lineTypeRecord(ctx, fixed::LTypeContinuous, "Continuous", "Solid line", {});
    for (const auto& [src, h] : ctx.lineTypes) {
        ltypes.push_back(h);
        lineTypeRecord(ctx, h, src->name, src->description, src->dashes);
    }
    control(ctx, 56, fixed::LTypeControl, ltypes, {fixed::LTypeByBlock, fixed::LTypeByLayer});

    control(ctx, 60, fixed::ViewControl, {});
    control(ctx, 62, fixed::UcsControl, {});
    control(ctx, 64, fixed::VportControl, {fixed::ActiveVport});
    appIdRecord(ctx);
    control(ctx, 66, fixed::AppIdControl, {fixed::AppIdAcad});
    control(ctx, 68, fixed::DimStyleControl, {fixed::DimStyleStandard});
    control(ctx, 70, fixed::VxControl, {});

    dictionary(ctx, fixed::NamedObjects, 0,
               {{"ACAD_GROUP", fixed::GroupDict},
                {"ACAD_LAYOUT", fixed::LayoutDict},
                {"ACAD_MLINESTYLE", fixed::MLineStyleDict},
                {"ACAD_PLOTSETTINGS", fixed::PlotSettingsDict},
                {"ACAD_PLOTSTYLENAME", fixed::PlotStyleDict}});
    dictionary(ctx, fixed::GroupDict, fixed::NamedObjects, {});
    dictionary(ctx, fixed::LayoutDict, fixed::NamedObjects,
               {{"Layout1", fixed::LayoutPaper}, {"Model", fixed::LayoutModel}});
    dictionary(ctx, fixed::MLineStyleDict, fixed::NamedObjects,
               {{"Standard", fixed::MLineStyleStandard}});
    dictionary(ctx, fixed::PlotSettingsDict, fixed::NamedObjects, {});
    dictionary(ctx, fixed::PlotStyleDict, fixed::NamedObjects,
               {{"Normal", fixed::PlotStyleNormal}});
}

}  // namespace dwg::writer
