// The header variables and classes sections of an R2000 file, with sane defaults.
#include <cstring>

#include "dwgviewx/dwg/Crc.h"
#include "dwgviewx/writer/DimensionDefaults.h"
#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

namespace {

constexpr std::uint8_t kHeaderStart[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                           0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
constexpr std::uint8_t kHeaderEnd[16] = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                         0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
constexpr std::uint8_t kClassesStart[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                            0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
constexpr std::uint8_t kClassesEnd[16] = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                          0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};

// Sentinel, RL size, data, CRC over size and data, sentinel.
std::vector<std::uint8_t> wrapSection(const std::uint8_t (&start)[16],
                                      const std::uint8_t (&end)[16], BitWriter& data) {
    data.alignToByte();
    const std::vector<std::uint8_t>& body = data.bytes();
    std::vector<std::uint8_t> out(start, start + 16);
    const auto size = static_cast<std::uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
    const std::uint16_t crc = crc16(0xC0C1, out.data() + 16, out.size() - 16);
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    out.insert(out.end(), end, end + 16);
    return out;
}

void ucsBlock(BitWriter& w) {
    w.BD(0);                         // elevation
    w.BD3({0, 0, 0});                // UCS origin
    w.BD3({1, 0, 0});                // UCS x direction
    w.BD3({0, 1, 0});                // UCS y direction
    w.nullHandle(Ref::HardPointer);  // UCS name
    w.nullHandle(Ref::HardPointer);  // orthographic reference
    w.BS(0);                         // orthographic view
    w.nullHandle(Ref::HardPointer);  // base UCS
    for (int i = 0; i < 6; ++i) w.BD3({0, 0, 0});
}

void dimensionVariables(BitWriter& w) {
    for (double d : dimdefaults::kSizes) w.BD(d);       // DIMSCALE .. DIMTM
    for (int i = 0; i < 6; ++i) w.B(i == 2 || i == 3);  // DIMTOL .. DIMSE2 (DIMTIH, DIMTOH on)
    w.BS(0);                                            // DIMTAD
    w.BS(0);                                            // DIMZIN
    w.BS(0);                                            // DIMAZIN
    for (double d : dimdefaults::kText) w.BD(d);        // DIMTXT .. DIMGAP
    w.BD(0);                                            // DIMALTRND
    w.B(false);                                         // DIMALT
    w.BS(2);                                            // DIMALTD
    w.B(false);                                         // DIMTOFL
    w.B(false);                                         // DIMSAH
    w.B(false);                                         // DIMTIX
    w.B(false);                                         // DIMSOXD
    w.BS(0);                                            // DIMCLRD
    w.BS(0);                                            // DIMCLRE
    w.BS(0);                                            // DIMCLRT
    for (auto s : dimdefaults::kShorts) w.BS(s);        // DIMADEC .. DIMJUST
    w.B(false);                                         // DIMSD1
    w.B(false);                                         // DIMSD2
    for (int i = 0; i < 4; ++i) w.BS(i == 0 ? 1 : 0);   // DIMTOLJ DIMTZIN DIMALTZ DIMALTTZ
    w.B(false);                                         // DIMUPT
    w.BS(3);                                            // DIMATFIT
    w.H(Ref::HardPointer, fixed::StyleStandard);        // DIMTXSTY
    for (int i = 0; i < 4; ++i) w.nullHandle(Ref::HardPointer);  // DIMLDRBLK .. DIMBLK2
    w.BS(-2);                                                    // DIMLWD
    w.BS(-2);                                                    // DIMLWE
}

}  // namespace

std::vector<std::uint8_t> headerSection(const WriterContext& ctx) {
    BitWriter w;
    w.BD(412148564080.0);
    w.BD(1.0);
    w.BD(1.0);
    w.BD(1.0);
    for (int i = 0; i < 4; ++i) w.T("");
    w.BL(24);
    w.BL(0);
    w.nullHandle(Ref::HardPointer);  // current viewport entity header
    // DIMASO DIMSHO PLINEGEN ORTHOMODE REGENMODE FILLMODE QTEXTMODE PSLTSCALE LIMCHECK
    const bool modes[9] = {true, true, false, false, true, true, false, true, false};
    for (bool b : modes) w.B(b);
    for (int i = 0; i < 4; ++i) w.B(i == 0);  // USRTIMER SKPOLY ANGDIR SPLFRAME
    w.B(false);                               // MIRRTEXT
    w.B(true);                                // WORLDVIEW
    w.B(true);                                // TILEMODE
    w.B(false);                               // PLIMCHECK
    w.B(false);                               // VISRETAIN
    w.B(false);                               // DISPSILH
    w.B(false);                               // PELLIPSE
    w.BS(1);                                  // PROXYGRAPHICS
    w.BS(3020);                               // TREEDEPTH
    w.BS(2);                                  // LUNITS decimal
    w.BS(4);                                  // LUPREC
    w.BS(0);                                  // AUNITS
    w.BS(0);                                  // AUPREC
    w.BS(0);                                  // ATTMODE
    w.BS(0);                                  // PDMODE
    for (int i = 0; i < 5; ++i) w.BS(0);      // USERI1-5
    const std::int16_t shorts[14] = {8, 6, 6, 6, 6, 6, 6, 3, 70, 0, 64, 4, 0, 50};
    for (auto s : shorts) w.BS(s);          // SPLINESEGS .. TEXTQLTY
    w.BD(1.0);                              // LTSCALE
    w.BD(2.5);                              // TEXTSIZE
    w.BD(0.05);                             // TRACEWID
    w.BD(0.1);                              // SKETCHINC
    w.BD(0.0);                              // FILLETRAD
    w.BD(0.0);                              // THICKNESS
    w.BD(0.0);                              // ANGBASE
    w.BD(0.0);                              // PDSIZE
    w.BD(0.0);                              // PLINEWID
    for (int i = 0; i < 5; ++i) w.BD(0.0);  // USERR1-5
    for (int i = 0; i < 4; ++i) w.BD(0.0);  // CHAMFERA-D
    w.BD(0.5);                              // FACETRES
    w.BD(1.0);                              // CMLSCALE
    w.BD(1.0);                              // CELTSCALE
    w.T("acad");                            // MENUNAME
    w.BL(2461000);                          // TDCREATE (Julian day)
    w.BL(0);
    w.BL(2461000);  // TDUPDATE
    w.BL(0);
    for (int i = 0; i < 4; ++i) w.BL(0);               // TDINDWG TDUSRTIMER
    w.BS(256);                                         // CECOLOR BYLAYER
    w.H(static_cast<Ref>(0), ctx.handleSeed());        // HANDSEED
    w.H(Ref::HardPointer, fixed::Layer0);              // CLAYER
    w.H(Ref::HardPointer, fixed::StyleStandard);       // TEXTSTYLE
    w.H(Ref::HardPointer, fixed::LTypeByLayer);        // CELTYPE
    w.H(Ref::HardPointer, fixed::DimStyleStandard);    // DIMSTYLE
    w.H(Ref::HardPointer, fixed::MLineStyleStandard);  // CMLSTYLE
    w.BD(0.0);                                         // PSVPSCALE
    // Paper space: INSBASE EXTMIN EXTMAX LIMMIN LIMMAX, then its UCS.
    w.BD3({0, 0, 0});
    w.BD3({1e20, 1e20, 1e20});
    w.BD3({-1e20, -1e20, -1e20});
    w.RD2({0, 0});
    w.RD2({12, 9});
    ucsBlock(w);
    // Model space.
    const Extents& x = ctx.extents;
    w.BD3({0, 0, 0});
    w.BD3(x.valid() ? x.min : Vec3{0, 0, 0});
    w.BD3(x.valid() ? x.max : Vec3{0, 0, 0});
    w.RD2(x.valid() ? Vec2{x.min.x, x.min.y} : Vec2{0, 0});
    w.RD2(x.valid() ? Vec2{x.max.x, x.max.y} : Vec2{420, 297});
    ucsBlock(w);
    w.T("");  // DIMPOST
    w.T("");  // DIMAPOST
    dimensionVariables(w);
    w.H(Ref::HardOwner, fixed::BlockControl);
    w.H(Ref::HardOwner, fixed::LayerControl);
    w.H(Ref::HardOwner, fixed::StyleControl);
    w.H(Ref::HardOwner, fixed::LTypeControl);
    w.H(Ref::HardOwner, fixed::ViewControl);
    w.H(Ref::HardOwner, fixed::UcsControl);
    w.H(Ref::HardOwner, fixed::VportControl);
    w.H(Ref::HardOwner, fixed::AppIdControl);
    w.H(Ref::HardOwner, fixed::DimStyleControl);
    w.H(Ref::HardOwner, fixed::VxControl);
    w.H(Ref::HardPointer, fixed::GroupDict);
    w.H(Ref::HardPointer, fixed::MLineStyleDict);
    w.H(Ref::HardOwner, fixed::NamedObjects);
    w.BS(1);   // TSTACKALIGN
    w.BS(70);  // TSTACKSIZE
    w.T("");   // HYPERLINKBASE
    w.T("");   // STYLESHEET
    w.H(Ref::HardPointer, fixed::LayoutDict);
    w.H(Ref::HardPointer, fixed::PlotSettingsDict);
    w.H(Ref::HardPointer, fixed::PlotStyleDict);
    // CELWEIGHT BYLAYER (29), line weights displayed, extended names allowed.
    w.BL(29 | 0x0800);
    w.BS(4);                                        // INSUNITS millimetres
    w.BS(0);                                        // CEPSNTYPE BYLAYER
    w.T("{00000000-0000-0000-0000-000000000000}");  // FINGERPRINTGUID
    w.T("{00000000-0000-0000-0000-000000000000}");  // VERSIONGUID
    w.H(Ref::HardPointer, ctx.blocks[1].header);    // *Paper_Space
    w.H(Ref::HardPointer, ctx.blocks[0].header);    // *Model_Space
    w.H(Ref::HardPointer, fixed::LTypeByLayer);
    w.H(Ref::HardPointer, fixed::LTypeByBlock);
    w.H(Ref::HardPointer, fixed::LTypeContinuous);
    // Four shorts whose meaning is unknown; readers expect them before the CRC.
    for (int i = 0; i < 4; ++i) w.BS(0);
    return wrapSection(kHeaderStart, kHeaderEnd, w);
}

std::vector<std::uint8_t> classesSection() {
    BitWriter w;
    auto cls = [&](int number, const char* cpp, const char* dxf, bool entity) {
        w.BS(static_cast<std::int16_t>(number));
        w.BS(0);
        w.T("ObjectDBX Classes");
        w.T(cpp);
        w.T(dxf);
        w.B(false);
        w.BS(entity ? 0x1F2 : 0x1F3);
    };
    cls(kClassLwPolyline, "AcDbPolyline", "LWPOLYLINE", true);
    cls(kClassHatch, "AcDbHatch", "HATCH", true);
    cls(kClassLayout, "AcDbLayout", "LAYOUT", false);
    cls(kClassPlaceholder, "AcDbPlaceHolder", "ACDBPLACEHOLDER", false);
    return wrapSection(kClassesStart, kClassesEnd, w);
}

}  // namespace dwg::writer
