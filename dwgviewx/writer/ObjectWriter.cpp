#include "dwgviewx/writer/ObjectWriter.h"

#include "dwgviewx/dwg/Crc.h"

namespace dwg::writer {

namespace {
constexpr int kLineWeights[24] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                  53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
}

int lineWeightIndex(int lineWeight) {
    if (lineWeight == LwByLayer) return 29;
    if (lineWeight == LwByBlock) return 30;
    if (lineWeight < 0) return 31;
    for (int i = 0; i < 24; ++i) {
        if (kLineWeights[i] >= lineWeight) return i;
    }
    return 23;
}

ObjectWriter::ObjectWriter(int type, Handle handle) {
    data_.BS(static_cast<std::int16_t>(type));
    endBitAt_ = data_.position();
    data_.RL(0);  // patched by finish()
    data_.H(static_cast<Ref>(0), handle);
    data_.BS(0);  // no extended data
}

void ObjectWriter::beginObject(Handle owner) {
    data_.BL(0);  // persistent reactors
    handles_.H(Ref::SoftPointer, owner);
    handles_.nullHandle(Ref::HardOwner);  // extension dictionary
}

void ObjectWriter::beginEntity(const EntityCommon& c) {
    data_.B(false);  // no graphics
    data_.BB(static_cast<unsigned>(c.entmode));
    data_.BL(0);     // persistent reactors
    data_.B(false);  // links stored explicitly
    data_.BS(static_cast<std::int16_t>(c.color));
    data_.BD(c.lineTypeScale);
    data_.BB(static_cast<unsigned>(c.lineTypeFlags));
    data_.BB(0);  // plot style BYLAYER
    data_.BS(c.invisible ? 1 : 0);
    data_.RC(static_cast<std::uint8_t>(c.lineWeightIndex));
    if (c.entmode == 0) handles_.H(Ref::SoftPointer, c.owner);
    handles_.nullHandle(Ref::HardOwner);  // extension dictionary
    handles_.H(Ref::SoftPointer, c.prev);
    handles_.H(Ref::SoftPointer, c.next);
    handles_.H(Ref::HardPointer, c.layer);
    if (c.lineTypeFlags == 3) handles_.H(Ref::HardPointer, c.lineType);
}

std::vector<std::uint8_t> ObjectWriter::finish() {
    const std::size_t endBit = data_.position();
    patchRL(data_, endBitAt_, static_cast<std::uint32_t>(endBit));
    BitWriter whole = data_;
    const auto& h = handles_.bytes();
    const std::size_t handleBits = handles_.position();
    const std::size_t fullBytes = handleBits / 8;
    for (std::size_t i = 0; i < fullBytes; ++i) whole.RC(h[i]);
    if (const unsigned rest = handleBits % 8)
        whole.bits(static_cast<std::uint64_t>(h[fullBytes] >> (8 - rest)), rest);
    whole.alignToByte();
    std::vector<std::uint8_t> body = whole.take();

    std::vector<std::uint8_t> out;
    out.reserve(body.size() + 8);
    std::size_t size = body.size();
    do {  // MS: 15 bits a word, low word first, 0x8000 when another word follows
        std::uint16_t word = size & 0x7FFF;
        size >>= 15;
        if (size) word |= 0x8000;
        out.push_back(static_cast<std::uint8_t>(word & 0xFF));
        out.push_back(static_cast<std::uint8_t>(word >> 8));
    } while (size);
    out.insert(out.end(), body.begin(), body.end());
    const std::uint16_t crc = crc16(0xC0C1, out.data(), out.size());
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    return out;
}

}  // namespace dwg::writer
