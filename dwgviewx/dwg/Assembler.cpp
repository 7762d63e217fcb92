#include "dwgviewx/dwg/Assembler.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace dwg {

namespace {

bool nameIs(const std::string& name, const char* wanted) {
    std::size_t i = 0;
    for (; i < name.size() && wanted[i]; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != wanted[i]) return false;
    }
    return i == name.size() && !wanted[i];
}

class Assembler {
public:
    Assembler(std::vector<DecodedObject>& objects, Drawing& d) : objects_(objects), d_(d) {}
    void run();

private:
    void collectTables();
    void findSpaces();
    Handle ownerOf(const DecodedObject& o) const;
    void collectChildren();
    void placeEntities();
    void attachVertices(const DecodedObject& head, Entity& e);
    void countEntities();

    std::vector<DecodedObject>& objects_;
    Drawing& d_;
    std::unordered_map<Handle, std::size_t> objectIndex_;
    std::unordered_map<Handle, std::size_t> blockIndex_;
    std::unordered_map<Handle, std::vector<std::size_t>> children_;  // vertices, attributes
};

void Assembler::run() {
    objectIndex_.reserve(objects_.size());
    for (std::size_t i = 0; i < objects_.size(); ++i) objectIndex_[objects_[i].head.handle] = i;
    collectTables();
    findSpaces();
    countEntities();
    collectChildren();
    placeEntities();
}

void Assembler::collectTables() {
    for (auto& o : objects_) {
        if (auto* l = std::get_if<Layer>(&o.payload)) {
            d_.layers.push_back(std::move(*l));
        } else if (auto* lt = std::get_if<LineType>(&o.payload)) {
            d_.lineTypes.push_back(std::move(*lt));
        } else if (auto* s = std::get_if<TextStyle>(&o.payload)) {
            d_.textStyles.push_back(std::move(*s));
        } else if (auto* ds = std::get_if<DimStyle>(&o.payload)) {
            d_.dimStyles.push_back(std::move(*ds));
        } else if (auto* bh = std::get_if<BlockHeaderData>(&o.payload)) {
            blockIndex_[bh->block.handle] = d_.blocks.size();
            d_.blocks.push_back(bh->block);
        }
    }
}

void Assembler::findSpaces() {
    Header& h = d_.header;
    if (!blockIndex_.count(h.modelSpace)) h.modelSpace = 0;
    if (!blockIndex_.count(h.paperSpace)) h.paperSpace = 0;
    for (const Block& b : d_.blocks) {
        if (!h.modelSpace && nameIs(b.name, "*MODEL_SPACE")) h.modelSpace = b.handle;
        if (!h.paperSpace && nameIs(b.name, "*PAPER_SPACE")) h.paperSpace = b.handle;
    }
}

Handle Assembler::ownerOf(const DecodedObject& o) const {
    switch (o.head.entmode) {
        case 1:
            return d_.header.paperSpace;
        case 2:
            return d_.header.modelSpace;
        default:
            return o.head.owner;
    }
}

void Assembler::countEntities() {
    auto& r = d_.report;
    for (const auto& o : objects_) {
        if (!o.head.isEntity) continue;
        ++r.entitiesByType[o.head.typeName];
        const Handle owner = ownerOf(o);
        if (owner && owner == d_.header.modelSpace && o.head.type != type::Block &&
            o.head.type != type::Endblk)
            ++r.modelSpaceByType[o.head.typeName];
    }
}

void Assembler::collectChildren() {
    // Vertices and attributes name their polyline or insert as owner. R2004+ parents
    // list their children; earlier ones are followed in handle order.
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        const auto& o = objects_[i];
        const bool vertex = std::holds_alternative<VertexData>(o.payload);
        const bool attrib =
            o.head.type == type::Attrib && std::holds_alternative<Entity>(o.payload);
        if (!vertex && !attrib) continue;
        auto parent = objectIndex_.find(o.head.owner);
        if (parent == objectIndex_.end()) continue;
        children_[o.head.owner].push_back(i);
    }
    for (auto& [parent, list] : children_) {
        const auto& p = objects_[objectIndex_[parent]];
        if (p.owned.empty()) continue;
        std::unordered_map<Handle, std::size_t> rank;
        for (std::size_t k = 0; k < p.owned.size(); ++k) rank.emplace(p.owned[k], k);
        std::stable_sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
            auto ra = rank.find(objects_[a].head.handle);
            auto rb = rank.find(objects_[b].head.handle);
            const std::size_t ka = ra == rank.end() ? SIZE_MAX : ra->second;
            const std::size_t kb = rb == rank.end() ? SIZE_MAX : rb->second;
            return ka < kb;
        });
    }
}

void Assembler::attachVertices(const DecodedObject& head, Entity& e) {
    auto* poly = std::get_if<Polyline>(&e.geometry);
    if (!poly) return;
    auto it = children_.find(head.head.handle);
    if (it == children_.end()) return;
    const bool is2d = head.head.type == type::Polyline2d;
    for (std::size_t idx : it->second) {
        const auto* v = std::get_if<VertexData>(&objects_[idx].payload);
        if (!v) continue;
        // Face records of a polyface mesh and spline frame points are not outline points.
        if (objects_[idx].head.type == type::VertexPfaceFace) continue;
        if (v->flags & 16) continue;
        PolyVertex pv = v->vertex;
        if (is2d) pv.position.z = poly->elevation;
        poly->vertices.push_back(pv);
    }
}

void Assembler::placeEntities() {
    // Reserve first: entities are large, and growing a block of thousands of them by
    // moving would cost more than decoding them.
    std::vector<std::size_t> perBlock(d_.blocks.size(), 0);
    for (const auto& o : objects_) {
        if (!std::holds_alternative<Entity>(o.payload)) continue;
        auto block = blockIndex_.find(ownerOf(o));
        if (block != blockIndex_.end()) ++perBlock[block->second];
    }
    for (std::size_t i = 0; i < perBlock.size(); ++i) d_.blocks[i].entities.reserve(perBlock[i]);
    for (auto& o : objects_) {
        auto* e = std::get_if<Entity>(&o.payload);
        if (!e || o.head.type == type::Attrib) continue;
        const Handle owner = ownerOf(o);
        auto block = blockIndex_.find(owner);
        if (block == blockIndex_.end()) {
            // Attribute definitions and the like may hang off objects we do not keep.
            continue;
        }
        e->owner = owner;
        attachVertices(o, *e);
        Block& target = d_.blocks[block->second];
        const Handle self = o.head.handle;
        target.entities.push_back(std::move(*e));
        if (o.head.type == type::Insert || o.head.type == type::Minsert) {
            auto kids = children_.find(self);
            if (kids == children_.end()) continue;
            for (std::size_t idx : kids->second) {
                auto* a = std::get_if<Entity>(&objects_[idx].payload);
                if (!a) continue;
                a->owner = self;
                target.entities.push_back(std::move(*a));
            }
        }
    }
}

}  // namespace

void assembleDrawing(std::vector<DecodedObject>& objects, Drawing& drawing) {
    Assembler(objects, drawing).run();
    drawing.rebuildIndex();
}

}  // namespace dwg
