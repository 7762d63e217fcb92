#pragma once
// What the object decoders produce for one object, before the drawing is assembled:
// the common data, the type-specific payload and the handles the assembler follows.
#include <variant>
#include <vector>

#include "dwgviewx/dwg/ObjectReader.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

struct VertexData {
    PolyVertex vertex;
    int flags = 0;
    int faceIndices[4] = {0, 0, 0, 0};  // VERTEX_PFACE_FACE
};

struct BlockHeaderData {
    Block block;
    Handle firstEntity = 0, lastEntity = 0;  // R13-R2000
    std::vector<Handle> owned;               // R2004+
};

// Entities decoded into geometry, table records, and the markers of block and
// sequence structure.
struct StructureMark {};

using Payload = std::variant<std::monostate, Entity, VertexData, BlockHeaderData, Layer, LineType,
                             TextStyle, DimStyle, StructureMark>;

struct DecodedObject {
    ObjectHead head;
    Payload payload;
    bool broken = false;   // a known kind that failed to decode
    bool skipped = false;  // a kind the decoder does not read
    // Owned sub-entities: polyline vertices, insert attributes (R2004+ lists, or the
    // first and last of the chain for R13-R2000).
    Handle firstOwned = 0, lastOwned = 0;
    std::vector<Handle> owned;
};

// Decodes the type-specific part of an entity whose common part `r` has read.
// Returns false when the data is damaged.
bool decodeEntity(ObjectReader& r, DecodedObject& out);
// Decodes the table records the drawing needs (layers, line types, text styles,
// dimension styles, block headers). Other objects are left as skipped.
bool decodeTableObject(ObjectReader& r, DecodedObject& out);

}  // namespace dwg
