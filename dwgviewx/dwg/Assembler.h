#pragma once
// Turns the decoded objects into the drawing: tables, blocks with their entities in
// file order, polylines with their vertices and inserts followed by their attributes.
//
// Objects are handed over one at a time, so the decoder never holds every decoded
// object at once: tables go straight into the drawing, entities into one pool, and of
// each object only a small record is kept for the final step. At the end each block
// takes its entities from the pool; the block with the most entities (model space, in
// large drawings) takes over the pool itself, so most entities are never copied. Memory,
// not arithmetic, bounds the decoding of large drawings.
//
// Not thread-safe; one per drawing being decoded. The drawing must outlive the assembler.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dwgviewx/dwg/DecodedObject.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

class Assembler {
public:
    // `expectedObjects` is how many objects the caller expects to add (the object map's
    // size): the entity pool reserves that much, so it never moves while it fills. More
    // may come; the pool then grows. May throw std::bad_alloc.
    Assembler(Drawing& drawing, std::size_t expectedObjects);

    // Takes one object's payload. Objects come in strictly increasing handle order (the
    // sorted object map); out-of-order handles still assemble correctly, only slower.
    void add(DecodedObject&& object);
    // Builds the blocks, fills the report's counts and the drawing's lookup index.
    void finish();

private:
    enum class Kind : std::uint8_t { None, Entity, Vertex };
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // What the last step needs to know of one object.
    struct Record {
        Handle handle = 0;
        Handle owner = 0;
        std::int32_t type = 0;
        std::uint32_t payload = kNone;  // index into entities_ or vertices_
        std::uint32_t ownedBegin = 0;   // range of owned_
        std::uint32_t ownedEnd = 0;
        std::uint8_t entmode = 0;
        Kind kind = Kind::None;
        bool isEntity = false;
    };
    struct TypeCount {
        std::string name;
        int all = 0;
        int modelSpace = 0;
    };

    void takePayload(DecodedObject& o, Record& rec);
    void countObject(const DecodedObject& o);
    void findSpaces();
    Handle ownerOf(const Record& r) const;
    std::uint32_t indexOf(Handle h) const;
    void collectChildren();
    using ChildIt = std::vector<std::pair<std::uint32_t, std::uint32_t>>::const_iterator;
    std::pair<ChildIt, ChildIt> childrenOf(std::uint32_t parent) const;
    void attachVertices(std::uint32_t record, Entity& e);
    std::vector<std::vector<std::uint32_t>> placeEntities();
    void fillBlocks(std::vector<std::vector<std::uint32_t>>& perBlock);
    void countEntities();

    Drawing& d_;
    std::vector<Record> records_;
    std::vector<Entity> entities_;
    std::vector<VertexData> vertices_;
    std::vector<Handle> owned_;
    std::unordered_map<Handle, std::size_t> blockIndex_;
    std::unordered_map<int, TypeCount> types_;
    // Only when handles arrived out of order; otherwise records_ is searched directly.
    bool sorted_ = true;
    std::unordered_map<Handle, std::uint32_t> unsortedIndex_;
    // (parent record, child record) of vertices and attributes, grouped by parent in
    // the order the parent lists them.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> children_;
};

}  // namespace dwg
