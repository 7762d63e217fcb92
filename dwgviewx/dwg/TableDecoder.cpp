// Table records: block headers, layers, line types, text styles, dimension styles.
#include <algorithm>
#include <cctype>

#include "dwgviewx/dwg/DecodedObject.h"

namespace dwg {

namespace {

// The fields every table record starts with; returns the entry name.
std::string readEntryName(ObjectReader& r) {
    BitReader& b = r.data();
    std::string name = r.text();
    b.B();  // 64-flag
    // R2007+ records no longer store the xref index (checked against real files: the
    // fields that follow only line up without it).
    if (!r.atLeast(Version::R2007)) b.BS();
    b.B();  // xref dependent
    return name;
}

Color readTableColor(ObjectReader& r) {
    BitReader& b = r.data();
    Color c;
    c.index = b.BS();
    if (r.atLeast(Version::R2004)) {
        const auto rgb = static_cast<std::uint32_t>(b.BL());
        const int flags = b.RC();
        // The high byte says what the value is: 0xC3 an index, 0xC2 a true colour,
        // 0xC0/0xC1 BYLAYER/BYBLOCK.
        switch (rgb >> 24) {
            case 0xC3:
                c.index = static_cast<int>(rgb & 0xFF);
                break;
            case 0xC2:
                c.rgb = rgb & 0xFFFFFF;
                break;
            case 0xC1:
                c.index = Color::ByBlock;
                break;
            case 0xC0:
                c.index = Color::ByLayer;
                break;
            default:
                break;
        }
        if (flags & 1) r.text();
        if (flags & 2) r.text();
    }
    return c;
}

std::string upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

bool readBlockHeader(ObjectReader& r, DecodedObject& out) {
    BitReader& b = r.data();
    BlockHeaderData bh;
    Block& blk = bh.block;
    blk.handle = r.head().handle;
    blk.name = readEntryName(r);
    blk.isAnonymous = b.B();
    b.B();  // has attribute definitions
    blk.isXref = b.B();
    const bool overlaid = b.B();
    if (r.atLeast(Version::R2000)) b.B();  // loaded
    std::int32_t owned = 0;
    if (r.atLeast(Version::R2004)) owned = b.BL();
    blk.basePoint = b.BD3();
    r.text();  // xref path
    int inserts = 0;
    if (r.atLeast(Version::R2000)) {
        for (int guard = 0; guard < 1'000'000 && !b.failed(); ++guard) {
            if (b.RC() == 0) break;
            ++inserts;
        }
        r.text();  // description
        const std::int32_t preview = b.BL();
        if (preview < 0) return false;
        b.skipBytes(static_cast<std::size_t>(preview));
    }
    const std::string key = upper(blk.name);
    blk.isLayout = key.rfind("*MODEL_SPACE", 0) == 0 || key.rfind("*PAPER_SPACE", 0) == 0;
    r.handle();  // NULL
    r.handle();  // BLOCK entity
    if (!r.atLeast(Version::R2004)) {
        if (!blk.isXref && !overlaid) {
            bh.firstEntity = r.handle();
            bh.lastEntity = r.handle();
        }
    } else if (owned >= 0 && r.handles().canHold(static_cast<std::uint64_t>(owned), 8)) {
        bh.owned.reserve(static_cast<std::size_t>(owned));
        for (int i = 0; i < owned; ++i) bh.owned.push_back(r.handle());
    }
    (void)inserts;
    out.payload = std::move(bh);
    return !b.failed() && !r.handles().failed();
}

bool readLayer(ObjectReader& r, DecodedObject& out) {
    BitReader& b = r.data();
    Layer l;
    l.handle = r.head().handle;
    l.name = readEntryName(r);
    if (!r.atLeast(Version::R2000)) {
        l.frozen = b.B();
        l.off = !b.B();
        b.B();
        l.locked = b.B();
    } else {
        const int values = b.BS();
        l.frozen = values & 1;
        l.off = values & 2;
        l.locked = values & 8;
        l.lineWeight = lineWeightFromIndex((values & 0x3E0) >> 5);
    }
    l.color = readTableColor(r);
    if (l.color.index < 0) {
        // A negative colour is how the file marks a layer that is off.
        l.off = true;
        l.color.index = -l.color.index;
    }
    if (l.color.index == 0 || l.color.index > 255) l.color.index = 7;
    r.handle();                                 // xref block
    if (r.atLeast(Version::R2000)) r.handle();  // plot style
    if (r.atLeast(Version::R2007)) r.handle();  // material
    l.lineType = r.handle();
    out.payload = std::move(l);
    return r.sound();
}

bool readLineType(ObjectReader& r, DecodedObject& out) {
    BitReader& b = r.data();
    LineType lt;
    lt.handle = r.head().handle;
    lt.name = readEntryName(r);
    lt.description = r.text();
    lt.patternLength = b.BD();
    b.RC();
    const int dashes = b.RC();
    for (int i = 0; i < dashes && !b.failed(); ++i) {
        lt.dashes.push_back(b.BD());
        b.BS();
        b.RD();
        b.RD();
        b.BD();
        b.BD();
        b.BS();
    }
    out.payload = std::move(lt);
    return r.sound();
}

bool readTextStyle(ObjectReader& r, DecodedObject& out) {
    BitReader& b = r.data();
    TextStyle s;
    s.handle = r.head().handle;
    s.name = readEntryName(r);
    b.B();  // vertical
    s.isShapeFile = b.B();
    s.fixedHeight = b.BD();
    s.widthFactor = b.BD();
    s.obliqueAngle = b.BD();
    b.RC();
    b.BD();
    s.fontFile = r.text();
    s.bigFontFile = r.text();
    out.payload = std::move(s);
    return r.sound();
}

bool readDimStyle(ObjectReader& r, DecodedObject& out) {
    DimStyle d;
    d.handle = r.head().handle;
    d.name = readEntryName(r);
    out.payload = std::move(d);
    return r.sound();
}

}  // namespace

bool decodeTableObject(ObjectReader& r, DecodedObject& out) {
    switch (r.head().type) {
        case type::BlockHeader:
            return readBlockHeader(r, out);
        case type::Layer:
            return readLayer(r, out);
        case type::LType:
            return readLineType(r, out);
        case type::Style:
            return readTextStyle(r, out);
        case type::DimStyle:
            return readDimStyle(r, out);
        default:
            out.skipped = true;
            return true;
    }
}

}  // namespace dwg
