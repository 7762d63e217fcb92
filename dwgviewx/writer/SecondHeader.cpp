#include "dwgviewx/writer/SecondHeader.h"

#include "dwgviewx/dwg/Crc.h"
#include "dwgviewx/writer/BitWriter.h"

namespace dwg::writer {

const std::uint8_t kSecondHeaderStart[16] = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                             0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
const std::uint8_t kSecondHeaderEnd[16] = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                           0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};

namespace {

// Handles stand here as their significant bytes, most significant first.
void handleRecord(BitWriter& w, int index, Handle h) {
    std::uint8_t bytes[8];
    int n = 0;
    for (Handle v = h; v != 0; v >>= 8) bytes[n++] = static_cast<std::uint8_t>(v & 0xFF);
    w.RC(static_cast<std::uint8_t>(n));
    w.RC(static_cast<std::uint8_t>(index));
    while (n > 0) w.RC(bytes[--n]);
}

}  // namespace

std::vector<std::uint8_t> secondHeader(const SecondHeaderInput& in) {
    BitWriter w;
    w.RL(0);  // size, patched below
    w.BL(static_cast<std::int32_t>(in.location));
    for (int i = 0; i < 13; ++i) w.RC(in.fileHeader[i]);  // version, zeros, maintenance
    w.BS(static_cast<std::int16_t>(in.fileHeader[0x11] | in.fileHeader[0x12] << 8));
    w.RC(in.fileHeader[0x13]);  // code page
    w.RC(in.fileHeader[0x14]);
    w.BS(static_cast<std::int16_t>(in.sections.size()));
    for (std::size_t i = 0; i < in.sections.size(); ++i) {
        w.RC(static_cast<std::uint8_t>(i));
        w.BL(static_cast<std::int32_t>(in.sections[i].offset));
        w.BL(static_cast<std::int32_t>(in.sections[i].size));
    }
    w.BS(static_cast<std::int16_t>(in.handles.size()));
    for (std::size_t i = 0; i < in.handles.size(); ++i)
        handleRecord(w, static_cast<int>(i), in.handles[i]);
    w.alignToByte();
    std::vector<std::uint8_t> body = w.take();
    const std::size_t size = body.size() + 2 + 8;  // with the CRC and the 8 closing bytes
    for (int i = 0; i < 4; ++i) body[i] = static_cast<std::uint8_t>(size >> (8 * i));
    const std::uint16_t crc = crc16(0xC0C1, body.data(), body.size());
    body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    body.push_back(static_cast<std::uint8_t>(crc >> 8));
    body.insert(body.end(), 8, 0);

    std::vector<std::uint8_t> out;
    out.reserve(body.size() + 32);
    for (std::uint8_t b : kSecondHeaderStart) out.push_back(b);
    out.insert(out.end(), body.begin(), body.end());
    for (std::uint8_t b : kSecondHeaderEnd) out.push_back(b);
    return out;
}

}  // namespace dwg::writer
