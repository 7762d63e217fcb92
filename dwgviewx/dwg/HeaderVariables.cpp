#include "dwgviewx/dwg/HeaderVariables.h"

#include <algorithm>
#include <cstring>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/dwg/Crc.h"

namespace dwg {

namespace {

constexpr std::uint8_t kSentinel[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                        0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};

class HeaderParser {
public:
    // `strings` and `handles` are the separate streams of R2007+ files; earlier files
    // keep everything in `r`.
    HeaderParser(BitReader& r, BitReader& strings, BitReader& handles, Header& h)
        : r_(r), s_(strings), hs_(handles), h_(h), v_(r.version()) {}
    void run();

private:
    bool atLeast(Version x) const { return v_ >= x; }
    bool r13r14() const { return v_ <= Version::R14; }
    void bits(int n) {
        for (int i = 0; i < n; ++i) r_.B();
    }
    void shorts(int n) {
        for (int i = 0; i < n; ++i) r_.BS();
    }
    void doubles(int n) {
        for (int i = 0; i < n; ++i) r_.BD();
    }
    void longs(int n) {
        for (int i = 0; i < n; ++i) r_.BL();
    }
    void points(int n) {
        for (int i = 0; i < n; ++i) r_.BD3();
    }
    Handle handle() { return hs_.H().value; }
    void text() {
        if (atLeast(Version::R2007)) {
            s_.TU();
        } else {
            r_.T();
        }
    }
    void color() {
        r_.BS();
        if (atLeast(Version::R2004)) {
            r_.BL();
            const auto flags = r_.RC();
            if (flags & 1) text();
            if (flags & 2) text();
        }
    }
    void prefix();
    void ucs();
    void modes();
    void dimensionVariables();
    BitReader& r_;
    BitReader& s_;
    BitReader& hs_;
    Header& h_;
    Version v_;
};

void HeaderParser::prefix() {
    if (atLeast(Version::R2013)) r_.BLL();  // REQUIREDVERSIONS
    doubles(4);
    for (int i = 0; i < 4; ++i) text();
    longs(2);
    if (r13r14()) r_.BS();
    if (!atLeast(Version::R2004)) handle();  // current viewport entity header
}

// A space's UCS: elevation, origin and axes, name; from R2000 also the orthographic
// reference, view type, base UCS and the six orthographic origins.
void HeaderParser::ucs() {
    doubles(1);
    points(3);
    handle();
    if (atLeast(Version::R2000)) {
        handle();
        shorts(1);
        handle();
        points(6);
    }
}

void HeaderParser::modes() {
    bits(2);                // DIMASO DIMSHO
    if (r13r14()) bits(1);  // DIMSAV
    bits(7);                // PLINEGEN .. LIMCHECK
    if (r13r14()) bits(1);  // BLIPMODE
    if (atLeast(Version::R2004)) bits(1);
    bits(4);                  // USRTIMER SKPOLY ANGDIR SPLFRAME
    if (r13r14()) bits(2);    // ATTREQ ATTDIA
    bits(2);                  // MIRRTEXT WORLDVIEW
    if (r13r14()) bits(1);    // WIREFRAME
    bits(3);                  // TILEMODE PLIMCHECK VISRETAIN
    if (r13r14()) bits(1);    // DELOBJ
    bits(2);                  // DISPSILH PELLIPSE
    shorts(1);                // PROXYGRAPHICS
    if (r13r14()) shorts(1);  // DRAGMODE
    shorts(1);                // TREEDEPTH
    h_.lunits = r_.BS();
    h_.luprec = r_.BS();
    shorts(2);                // AUNITS AUPREC
    if (r13r14()) shorts(1);  // OSMODE
    shorts(1);                // ATTMODE
    if (r13r14()) shorts(1);  // COORDS
    h_.pdmode = r_.BS();
    if (r13r14()) shorts(1);  // PICKSTYLE
    if (atLeast(Version::R2004)) longs(3);
    shorts(5 + 9 + 5);  // USERI1-5, SPLINESEGS .. SHADEDIF, UNITMODE .. TEXTQLTY
    h_.ltscale = r_.BD();
    h_.textSize = r_.BD();
    doubles(5);  // TRACEWID SKETCHINC FILLETRAD THICKNESS ANGBASE
    h_.pdsize = r_.BD();
    doubles(1 + 5 + 4 + 3);  // PLINEWID USERR1-5 CHAMFERA-D FACETRES CMLSCALE CELTSCALE
    if (!atLeast(Version::R2007)) text();  // MENUNAME
    longs(4);                              // TDCREATE TDUPDATE
    if (atLeast(Version::R2004)) longs(3);
    longs(4);  // TDINDWG TDUSRTIMER
    color();   // CECOLOR
    r_.H();    // HANDSEED: in the data stream in every version
    h_.currentLayer = handle();
    h_.textStyle = handle();
    h_.currentLineType = handle();
    if (atLeast(Version::R2007)) handle();  // CMATERIAL
    h_.dimStyle = handle();
    handle();                                 // CMLSTYLE
    if (atLeast(Version::R2000)) doubles(1);  // PSVPSCALE
    points(3);                                // paper space INSBASE EXTMIN EXTMAX
    r_.RD2();
    r_.RD2();
    ucs();
    points(1);  // model space INSBASE
    h_.extents.min = r_.BD3();
    h_.extents.max = r_.BD3();
    h_.limitsMin = r_.RD2();
    h_.limitsMax = r_.RD2();
    ucs();
    if (atLeast(Version::R2000)) {
        text();  // DIMPOST
        text();  // DIMAPOST
    }
}

void HeaderParser::dimensionVariables() {
    if (r13r14()) {
        bits(11);
        r_.RC();
        r_.RC();
        bits(2);
        r_.RC();
        r_.RC();
        r_.RC();
        bits(1);
        for (int i = 0; i < 4; ++i) r_.RC();
        shorts(6);
        handle();
    }
    doubles(9);  // DIMSCALE .. DIMTM
    if (atLeast(Version::R2007)) {
        doubles(2);
        shorts(1);
        color();
    }
    if (atLeast(Version::R2000)) {
        bits(6);
        shorts(3);
    }
    if (atLeast(Version::R2007)) shorts(1);
    doubles(8);  // DIMTXT .. DIMGAP
    if (r13r14()) {
        for (int i = 0; i < 5; ++i) text();
    }
    if (atLeast(Version::R2000)) {
        doubles(1);
        bits(1);
        shorts(1);
        bits(4);
    }
    color();
    color();
    color();
    if (atLeast(Version::R2000)) {
        shorts(11);
        bits(2);
        shorts(4);
        bits(1);
        shorts(1);
    }
    if (atLeast(Version::R2007)) bits(1);
    if (atLeast(Version::R2010)) {
        bits(1);
        doubles(1);
        text();
        doubles(1);
        text();
    }
    if (atLeast(Version::R2000)) {
        for (int i = 0; i < 5; ++i) handle();
    }
    if (atLeast(Version::R2007)) {
        for (int i = 0; i < 3; ++i) handle();
    }
    if (atLeast(Version::R2000)) shorts(2);
}

void HeaderParser::run() {
    prefix();
    modes();
    dimensionVariables();
    h_.blockControl = handle();
    h_.layerControl = handle();
    h_.styleControl = handle();
    h_.lineTypeControl = handle();
    for (int i = 0; i < 5; ++i) handle();    // VIEW UCS VPORT APPID DIMSTYLE controls
    if (!atLeast(Version::R2004)) handle();  // viewport entity header control
    for (int i = 0; i < 3; ++i) handle();    // dictionaries
    if (atLeast(Version::R2000)) {
        shorts(2);
        text();
        text();
        for (int i = 0; i < 3; ++i) handle();
        if (atLeast(Version::R2004)) {
            handle();
            handle();
        }
        if (atLeast(Version::R2007)) handle();
        if (atLeast(Version::R2013)) handle();
        const std::int32_t flags = r_.BL();
        h_.lwdisplay = !(flags & 0x200);
        h_.insUnits = r_.BS();
        if (r_.BS() == 3) handle();
        text();
        text();
        if (atLeast(Version::R2004)) {
            for (int i = 0; i < 6; ++i) r_.RC();
            shorts(2);
            r_.RC();
            r_.RC();
            text();
        }
    }
    h_.paperSpace = handle();
    h_.modelSpace = handle();
}

}  // namespace

bool readHeaderVariables(const RawSections& sections, Header& header,
                         std::vector<std::string>& warnings) {
    header.versionMagic = sections.magic;
    header.codePage = sections.codePage;
    const auto& bytes = sections.header;
    std::size_t start = 0;
    if (bytes.size() >= 16 && std::memcmp(bytes.data(), kSentinel, 16) == 0) start = 16;
    if (bytes.size() < start + 4) {
        warnings.push_back("header variables section is truncated");
        return false;
    }
    const std::uint32_t size = bytes[start] | (bytes[start + 1] << 8) | (bytes[start + 2] << 16) |
                               (static_cast<std::uint32_t>(bytes[start + 3]) << 24);
    const std::size_t dataStart = start + 4;
    // R2010/R2013 files of a later maintenance release and R2018+ files store a second
    // 32-bit word after the size.
    const Version v = sections.version;
    const std::size_t skip =
        v >= Version::R2018 || (v >= Version::R2010 && sections.maintenanceVersion > 3) ? 4 : 0;
    if (skip > bytes.size() - dataStart || size > bytes.size() - dataStart - skip) {
        warnings.push_back("header variables section is truncated");
        return false;
    }
    const std::size_t crcAt = dataStart + skip + size;
    if (crcAt + 2 <= bytes.size()) {
        const std::uint16_t stored = bytes[crcAt] | (bytes[crcAt + 1] << 8);
        if (crc16(0xC0C1, bytes.data() + start, crcAt - start) != stored)
            warnings.push_back("header variables checksum mismatch");
    }
    BitReader r(bytes.data() + dataStart + skip, size, v);
    BitReader strings = r;
    BitReader handles = r;
    if (v >= Version::R2007) {
        // Text and handles live in their own streams, after the data: the data's size in
        // bits comes first, the string stream sits at its end.
        const std::size_t endBit = static_cast<std::uint32_t>(r.RL());
        if (!openStringStream(r, endBit, strings)) {
            warnings.push_back("header variables have no string data");
            return false;
        }
        handles.seek(endBit);
    }
    Header parsed = header;
    if (v >= Version::R2007) {
        HeaderParser(r, strings, handles, parsed).run();
    } else {
        HeaderParser(r, r, r, parsed).run();
    }
    if (r.failed() || strings.failed() || handles.failed()) {
        warnings.push_back("header variables are damaged");
        return false;
    }
    header = parsed;
    return true;
}

}  // namespace dwg
