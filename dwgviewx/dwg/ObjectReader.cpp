#include "dwgviewx/dwg/ObjectReader.h"

#include <array>

namespace dwg {

namespace {

constexpr const char* kFixedNames[] = {"UNUSED",
                                       "TEXT",
                                       "ATTRIB",
                                       "ATTDEF",
                                       "BLOCK",
                                       "ENDBLK",
                                       "SEQEND",
                                       "INSERT",
                                       "MINSERT",
                                       "",
                                       "VERTEX_2D",
                                       "VERTEX_3D",
                                       "VERTEX_MESH",
                                       "VERTEX_PFACE",
                                       "VERTEX_PFACE_FACE",
                                       "POLYLINE_2D",
                                       "POLYLINE_3D",
                                       "ARC",
                                       "CIRCLE",
                                       "LINE",
                                       "DIMENSION_ORDINATE",
                                       "DIMENSION_LINEAR",
                                       "DIMENSION_ALIGNED",
                                       "DIMENSION_ANG3PT",
                                       "DIMENSION_ANG2LN",
                                       "DIMENSION_RADIUS",
                                       "DIMENSION_DIAMETER",
                                       "POINT",
                                       "3DFACE",
                                       "POLYLINE_PFACE",
                                       "POLYLINE_MESH",
                                       "SOLID",
                                       "TRACE",
                                       "SHAPE",
                                       "VIEWPORT",
                                       "ELLIPSE",
                                       "SPLINE",
                                       "REGION",
                                       "3DSOLID",
                                       "BODY",
                                       "RAY",
                                       "XLINE",
                                       "DICTIONARY",
                                       "OLEFRAME",
                                       "MTEXT",
                                       "LEADER",
                                       "TOLERANCE",
                                       "MLINE",
                                       "BLOCK_CONTROL",
                                       "BLOCK_HEADER",
                                       "LAYER_CONTROL",
                                       "LAYER",
                                       "STYLE_CONTROL",
                                       "STYLE",
                                       "",
                                       "",
                                       "LTYPE_CONTROL",
                                       "LTYPE",
                                       "",
                                       "",
                                       "VIEW_CONTROL",
                                       "VIEW",
                                       "UCS_CONTROL",
                                       "UCS",
                                       "VPORT_CONTROL",
                                       "VPORT",
                                       "APPID_CONTROL",
                                       "APPID",
                                       "DIMSTYLE_CONTROL",
                                       "DIMSTYLE",
                                       "VX_CONTROL",
                                       "VX_TABLE_RECORD",
                                       "GROUP",
                                       "MLINESTYLE",
                                       "OLE2FRAME",
                                       "DUMMY",
                                       "LONG_TRANSACTION",
                                       "LWPOLYLINE",
                                       "HATCH",
                                       "XRECORD",
                                       "ACDBPLACEHOLDER",
                                       "VBA_PROJECT",
                                       "LAYOUT"};

static_assert(std::size(kFixedNames) == 0x53, "one name per fixed type up to LAYOUT");

constexpr int kLineWeights[24] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                  53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

}  // namespace

const char* fixedTypeName(int type) {
    if (type >= 0 && type < static_cast<int>(std::size(kFixedNames))) return kFixedNames[type];
    if (type == 0x1F2) return "ACAD_PROXY_ENTITY";
    if (type == 0x1F3) return "ACAD_PROXY_OBJECT";
    return "";
}

bool isFixedEntityType(int t) {
    return (t >= 1 && t <= 41 && t != 9) || (t >= 43 && t <= 47) || t == type::Ole2Frame ||
           t == type::LwPolyline || t == type::Hatch || t == type::ProxyEntity;
}

int lineWeightFromIndex(int index) {
    if (index >= 0 && index < 24) return kLineWeights[index];
    if (index == 29) return LwByLayer;
    if (index == 30) return LwByBlock;
    return LwDefault;
}

ObjectReader::ObjectReader(const std::uint8_t* object, std::size_t size, Version version,
                           const ClassTable& classes, CodePageConverter& cp)
    : object_(object),
      size_(size),
      version_(version),
      classes_(classes),
      cp_(cp),
      data_(object, size, version),
      strings_(object, 0, version),
      handles_(object, size, version) {}

std::string ObjectReader::text() {
    if (atLeast(Version::R2007)) return strings_.TU();
    return cp_.toUtf8(data_.T());
}

bool ObjectReader::locateStrings(std::size_t endBit) {
    StringStreamSpan span;
    if (!locateStringStream(data_, endBit, span)) return false;
    if (!span.present) {
        data_.setLimit(span.begin);
        strings_ = BitReader(object_, 0, version_);
        return true;
    }
    strings_ = BitReader(object_, size_, version_);
    strings_.seek(span.begin);
    strings_.setLimit(span.end);
    data_.setLimit(span.begin);
    return !strings_.failed();
}

bool ObjectReader::begin(std::uint64_t handleBits) {
    head_.type = data_.OT();
    if (atLeast(Version::R2000) && !atLeast(Version::R2010)) {
        endBit_ = static_cast<std::uint32_t>(data_.RL());
    } else if (atLeast(Version::R2010)) {
        if (handleBits > size_ * 8) {
            error_ = "handle stream larger than the object";
            return false;
        }
        endBit_ = size_ * 8 - handleBits;
    }
    head_.handle = data_.H().value;
    // Extended data: skipped by its size.
    for (int guard = 0; guard < 4096; ++guard) {
        const int eedSize = static_cast<std::uint16_t>(data_.BS());
        if (eedSize == 0 || data_.failed()) break;
        data_.H();
        data_.skipBytes(static_cast<std::size_t>(eedSize));
    }
    if (head_.type >= 500) {
        auto it = classes_.find(head_.type);
        if (it != classes_.end()) {
            head_.typeName = it->second.dxfName;
            head_.isEntity = it->second.isEntity;
        } else {
            head_.typeName = "UNKNOWN_CLASS";
        }
    } else {
        head_.typeName = fixedTypeName(head_.type);
        head_.isEntity = isFixedEntityType(head_.type);
        if (head_.typeName.empty()) head_.typeName = "UNKNOWN_OBJ";
    }
    if (data_.failed()) {
        error_ = "object header is damaged";
        return false;
    }
    if (head_.isEntity) return beginEntity();
    beginObject();
    if (!sound()) {
        error_ = "object header is damaged";
        return false;
    }
    return true;
}

void ObjectReader::beginObject() {
    if (!atLeast(Version::R2000)) endBit_ = static_cast<std::uint32_t>(data_.RL());
    if (endBit_ > size_ * 8 || endBit_ < data_.position()) {
        data_.fail();
        return;
    }
    handles_.seek(endBit_);
    if (atLeast(Version::R2007)) {
        if (!locateStrings(endBit_)) data_.fail();
    } else {
        data_.setLimit(endBit_);
    }
    const std::int32_t reactors = data_.BL();
    const bool xdicMissing = atLeast(Version::R2004) ? data_.B() : false;
    if (atLeast(Version::R2013)) data_.B();
    head_.owner = handle();
    if (reactors < 0 || !handles_.canHold(static_cast<std::uint64_t>(reactors), 8)) return;
    for (int i = 0; i < reactors; ++i) handles_.H();
    if (!xdicMissing) handles_.H();
}

bool ObjectReader::beginEntity() {
    if (data_.B()) {
        const std::uint64_t graphicSize =
            atLeast(Version::R2010) ? data_.BLL() : static_cast<std::uint32_t>(data_.RL());
        if (graphicSize > size_) {
            error_ = "graphics larger than the object";
            return false;
        }
        data_.skipBytes(graphicSize);
    }
    if (!atLeast(Version::R2000)) endBit_ = static_cast<std::uint32_t>(data_.RL());
    if (endBit_ > size_ * 8 || endBit_ < data_.position()) {
        error_ = "object data size out of range";
        return false;
    }
    handles_.seek(endBit_);
    if (atLeast(Version::R2007)) {
        if (!locateStrings(endBit_)) {
            error_ = "string data out of range";
            return false;
        }
    } else {
        data_.setLimit(endBit_);
    }
    auto& h = head_;
    h.entmode = data_.BB();
    const std::int32_t reactors = data_.BL();
    const bool xdicMissing = atLeast(Version::R2004) ? data_.B() : false;
    if (atLeast(Version::R2013)) data_.B();
    const bool r14ByLayer = !atLeast(Version::R2000) ? data_.B() : false;
    // R2004+ files no longer chain entities, and drop the bit that said so.
    const bool noLinks = atLeast(Version::R2004) ? true : data_.B();
    std::uint32_t colorFlags = 0;
    if (atLeast(Version::R2004)) {
        const auto number = static_cast<std::uint16_t>(data_.BS());
        colorFlags = number & 0xFF00;
        h.color.index = number & 0x1FF;
        // A colour-book colour (0x4000) refers to its colour object through the handle
        // stream and stores no value here; the index beside it is its nearest ACI
        // (checked against the same drawing saved as R2000).
        if ((colorFlags & 0x8000) && !(colorFlags & 0x4000)) {
            const auto rgb = static_cast<std::uint32_t>(data_.BL());
            const unsigned kind = rgb >> 24;
            if (kind == 0xC3) {
                h.color.index = static_cast<int>(rgb & 0xFF);
            } else if (kind == 0xC0) {
                h.color.index = Color::ByLayer;
            } else if (kind == 0xC1) {
                h.color.index = Color::ByBlock;
            } else {
                h.color.rgb = rgb & 0xFFFFFF;
            }
        }
        if (colorFlags & 0x2000) data_.BL();  // transparency
    } else {
        h.color.index = data_.BS();
    }
    h.lineTypeScale = data_.BD();
    int plotFlags = 0, materialFlags = 0, visualStyles = 0;
    if (atLeast(Version::R2000)) {
        h.lineTypeFlags = data_.BB();
        plotFlags = data_.BB();
    }
    if (atLeast(Version::R2007)) {
        materialFlags = data_.BB();
        data_.RC();  // shadow flags
    }
    if (atLeast(Version::R2010)) visualStyles = data_.B() + data_.B() + data_.B();
    h.invisible = data_.BS() & 1;
    if (atLeast(Version::R2000)) h.lineWeight = lineWeightFromIndex(data_.RC());
    if (reactors < 0 || !handles_.canHold(static_cast<std::uint64_t>(reactors), 8)) {
        error_ = "reactor count out of range";
        return false;
    }
    entityHandles(reactors, xdicMissing, noLinks, r14ByLayer, colorFlags, plotFlags, materialFlags,
                  visualStyles);
    if (!sound()) {
        error_ = "entity header is damaged";
        return false;
    }
    return true;
}

void ObjectReader::entityHandles(int reactors, bool xdicMissing, bool noLinks, bool r14ByLayer,
                                 std::uint32_t colorFlags, int plotFlags, int materialFlags,
                                 int visualStyles) {
    auto& h = head_;
    if (h.entmode == 0) h.owner = handle();
    for (int i = 0; i < reactors; ++i) handles_.H();
    if (!xdicMissing) handles_.H();
    if (!atLeast(Version::R2000)) {
        h.layer = handle();
        if (!r14ByLayer) {
            h.lineType = handle();
            h.lineTypeFlags = 3;
        }
    }
    if (!atLeast(Version::R2004)) {
        if (!noLinks) {
            h.prevEntity = handle();
            h.nextEntity = handle();
        } else {
            h.prevEntity = h.handle - 1;
            h.nextEntity = h.handle + 1;
        }
    }
    if (atLeast(Version::R2004) && (colorFlags & 0x4000)) handles_.H();
    if (atLeast(Version::R2000)) {
        h.layer = handle();
        if (h.lineTypeFlags == 3) h.lineType = handle();
    }
    if (atLeast(Version::R2007) && materialFlags == 3) handles_.H();
    if (atLeast(Version::R2000) && plotFlags == 3) handles_.H();
    for (int i = 0; i < visualStyles; ++i) handles_.H();
}

}  // namespace dwg
