#pragma once
// Builds one object of an R2000 file: the data stream (type, end bit, handle, common
// object or entity fields, then the type's fields) and the handle stream, joined at
// the end bit, padded to a byte, preceded by the MS size and followed by the CRC.
#include <cstdint>
#include <vector>

#include "dwgviewx/writer/BitWriter.h"

namespace dwg::writer {

// The entity fields every entity carries, with handles already mapped to the output.
struct EntityCommon {
    int entmode = 2;   // 0 owner stored, 1 paper space, 2 model space
    Handle owner = 0;  // when entmode is 0
    Handle layer = 0;
    Handle lineType = 0;    // written when lineTypeFlags is 3
    int lineTypeFlags = 0;  // 0 BYLAYER, 1 BYBLOCK, 2 CONTINUOUS, 3 handle
    Handle prev = 0, next = 0;
    int color = Color::ByLayer;
    double lineTypeScale = 1;
    bool invisible = false;
    int lineWeightIndex = 29;  // 29 BYLAYER
};

class ObjectWriter {
public:
    ObjectWriter(int type, Handle handle);
    BitWriter& data() { return data_; }
    BitWriter& handles() { return handles_; }
    // Common object fields (no reactors, no extension dictionary) with the owner.
    void beginObject(Handle owner);
    void beginEntity(const EntityCommon& c);
    // The finished object as it stands in the file.
    std::vector<std::uint8_t> finish();

private:
    BitWriter data_, handles_;
    std::size_t endBitAt_ = 0;
};

// The line weight index (R2000 RC) of a line weight in 1/100 mm.
int lineWeightIndex(int lineWeight);

}  // namespace dwg::writer
