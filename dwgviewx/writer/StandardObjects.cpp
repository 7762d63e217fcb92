// The default objects tables refer to: the multiline style "Standard" and the plot
// style "Normal" every layer points at.
#include <numbers>

#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

namespace {

constexpr std::int16_t kLineTypeIndexByLayer = 32767;

void multilineStyle(WriterContext& ctx) {
    ObjectWriter o(73, fixed::MLineStyleStandard);
    o.beginObject(fixed::MLineStyleDict);
    BitWriter& w = o.data();
    w.T("Standard");
    w.T("");
    w.BS(0);    // flags
    w.BS(256);  // fill colour BYLAYER
    w.BD(std::numbers::pi / 2);
    w.BD(std::numbers::pi / 2);
    w.RC(2);
    for (double offset : {0.5, -0.5}) {
        w.BD(offset);
        w.BS(256);
        w.BS(kLineTypeIndexByLayer);
    }
    ctx.add(fixed::MLineStyleStandard, o.finish());
}

void plotStylePlaceholder(WriterContext& ctx) {
    ObjectWriter o(kClassPlaceholder, fixed::PlotStyleNormal);
    o.beginObject(fixed::PlotStyleDict);
    ctx.add(fixed::PlotStyleNormal, o.finish());
}

}  // namespace

void writeStandardObjects(WriterContext& ctx) {
    multilineStyle(ctx);
    plotStylePlaceholder(ctx);
}

}  // namespace dwg::writer
