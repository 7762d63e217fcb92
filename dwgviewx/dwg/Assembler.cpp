#include "dwgviewx/dwg/Assembler.h"

#include <algorithm>
#include <cctype>

namespace dwg {

namespace {

bool nameIs(const std::string& name, const char* wanted) {
    std::size_t i = 0;
    for (; i < name.size() && wanted[i]; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != wanted[i]) return false;
    }
    return i == name.size() && !wanted[i];
}

// True when the entries can slide down inside the pool: entry k is taken from slot
// list[k] >= k, which no earlier step has written (step j writes slot j only).
bool slidesDown(const std::vector<std::uint32_t>& list) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (list[k] < k) return false;
    }
    return true;
}

}  // namespace

Assembler::Assembler(Drawing& drawing, std::size_t expectedObjects) : d_(drawing) {
    records_.reserve(expectedObjects);
    entities_.reserve(expectedObjects);
}

void Assembler::add(DecodedObject&& o) {
    if (records_.size() >= kNone - 1) return;  // beyond what 32-bit indices can name
    countObject(o);
    if (!records_.empty() && o.head.handle <= records_.back().handle) sorted_ = false;
    Record rec;
    rec.handle = o.head.handle;
    rec.owner = o.head.owner;
    rec.type = o.head.type;
    rec.entmode = static_cast<std::uint8_t>(o.head.entmode);
    rec.isEntity = o.head.isEntity;
    takePayload(o, rec);
    rec.ownedBegin = static_cast<std::uint32_t>(owned_.size());
    owned_.insert(owned_.end(), o.owned.begin(), o.owned.end());
    rec.ownedEnd = static_cast<std::uint32_t>(owned_.size());
    records_.push_back(rec);
}

void Assembler::takePayload(DecodedObject& o, Record& rec) {
    if (auto* e = std::get_if<Entity>(&o.payload)) {
        rec.kind = Kind::Entity;
        rec.payload = static_cast<std::uint32_t>(entities_.size());
        entities_.push_back(std::move(*e));
    } else if (auto* v = std::get_if<VertexData>(&o.payload)) {
        rec.kind = Kind::Vertex;
        rec.payload = static_cast<std::uint32_t>(vertices_.size());
        vertices_.push_back(*v);
    } else if (auto* l = std::get_if<Layer>(&o.payload)) {
        d_.layers.push_back(std::move(*l));
    } else if (auto* lt = std::get_if<LineType>(&o.payload)) {
        d_.lineTypes.push_back(std::move(*lt));
    } else if (auto* s = std::get_if<TextStyle>(&o.payload)) {
        d_.textStyles.push_back(std::move(*s));
    } else if (auto* ds = std::get_if<DimStyle>(&o.payload)) {
        d_.dimStyles.push_back(std::move(*ds));
    } else if (auto* bh = std::get_if<BlockHeaderData>(&o.payload)) {
        blockIndex_[bh->block.handle] = d_.blocks.size();
        d_.blocks.push_back(std::move(bh->block));
    }
}

void Assembler::countObject(const DecodedObject& o) {
    DecodeReport& r = d_.report;
    ++r.objectsTotal;
    if (o.broken) {
        ++r.brokenObjects;
    } else if (o.skipped && o.head.isEntity) {
        ++r.skippedObjects;
        ++r.skippedByType[o.head.typeName];
    }
    if (!o.head.isEntity) return;
    // The name follows from the type number, so one name per number is enough.
    auto [it, inserted] = types_.try_emplace(o.head.type);
    if (inserted) it->second.name = o.head.typeName;
    ++it->second.all;
}

void Assembler::finish() {
    findSpaces();
    countEntities();
    if (!sorted_) {
        unsortedIndex_.reserve(records_.size());
        for (std::uint32_t i = 0; i < records_.size(); ++i)
            unsortedIndex_[records_[i].handle] = i;  // a later duplicate wins
    }
    collectChildren();
    auto perBlock = placeEntities();
    fillBlocks(perBlock);
    d_.rebuildIndex();
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

Handle Assembler::ownerOf(const Record& r) const {
    switch (r.entmode) {
        case 1:
            return d_.header.paperSpace;
        case 2:
            return d_.header.modelSpace;
        default:
            return r.owner;
    }
}

std::uint32_t Assembler::indexOf(Handle h) const {
    if (!sorted_) {
        auto it = unsortedIndex_.find(h);
        return it == unsortedIndex_.end() ? kNone : it->second;
    }
    auto it = std::lower_bound(records_.begin(), records_.end(), h,
                               [](const Record& r, Handle v) { return r.handle < v; });
    if (it == records_.end() || it->handle != h) return kNone;
    return static_cast<std::uint32_t>(it - records_.begin());
}

void Assembler::countEntities() {
    DecodeReport& r = d_.report;
    const Handle model = d_.header.modelSpace;
    for (const Record& rec : records_) {
        if (!rec.isEntity) continue;
        const Handle owner = ownerOf(rec);
        if (owner && owner == model && rec.type != type::Block && rec.type != type::Endblk)
            ++types_[rec.type].modelSpace;
    }
    for (const auto& [number, count] : types_) {
        if (count.all) r.entitiesByType[count.name] += count.all;
        if (count.modelSpace) r.modelSpaceByType[count.name] += count.modelSpace;
    }
}

void Assembler::collectChildren() {
    // Vertices and attributes name their polyline or insert as owner. R2004+ parents
    // list their children; earlier ones are followed in handle order.
    for (std::uint32_t i = 0; i < records_.size(); ++i) {
        const Record& o = records_[i];
        const bool vertex = o.kind == Kind::Vertex;
        const bool attrib = o.type == type::Attrib && o.kind == Kind::Entity;
        if (!vertex && !attrib) continue;
        const std::uint32_t parent = indexOf(o.owner);
        if (parent != kNone) children_.emplace_back(parent, i);
    }
    // Children are in record order, so sorting the pairs groups them by parent and
    // keeps each group in handle order.
    std::sort(children_.begin(), children_.end());
    for (auto group = children_.begin(); group != children_.end();) {
        const std::uint32_t parent = group->first;
        auto end = std::find_if(group, children_.end(),
                                [parent](const auto& c) { return c.first != parent; });
        const Record& p = records_[parent];
        if (p.ownedEnd > p.ownedBegin) {
            std::unordered_map<Handle, std::size_t> rank;
            for (std::uint32_t k = p.ownedBegin; k < p.ownedEnd; ++k)
                rank.emplace(owned_[k], k - p.ownedBegin);
            auto rankOf = [&](const std::pair<std::uint32_t, std::uint32_t>& c) {
                auto r = rank.find(records_[c.second].handle);
                return r == rank.end() ? SIZE_MAX : r->second;
            };
            std::stable_sort(group, end,
                             [&](const auto& a, const auto& b) { return rankOf(a) < rankOf(b); });
        }
        group = end;
    }
}

std::pair<Assembler::ChildIt, Assembler::ChildIt> Assembler::childrenOf(
    std::uint32_t parent) const {
    auto first = std::lower_bound(children_.begin(), children_.end(), parent,
                                  [](const std::pair<std::uint32_t, std::uint32_t>& c,
                                     std::uint32_t p) { return c.first < p; });
    auto last =
        std::find_if(first, children_.end(), [parent](const auto& c) { return c.first != parent; });
    return {first, last};
}

void Assembler::attachVertices(std::uint32_t record, Entity& e) {
    auto* poly = std::get_if<Polyline>(&e.geometry);
    if (!poly) return;
    const auto [first, last] = childrenOf(record);
    const bool is2d = records_[record].type == type::Polyline2d;
    for (auto it = first; it != last; ++it) {
        const Record& child = records_[it->second];
        if (child.kind != Kind::Vertex) continue;
        // Face records of a polyface mesh and spline frame points are not outline points.
        if (child.type == type::VertexPfaceFace) continue;
        const VertexData& v = vertices_[child.payload];
        if (v.flags & 16) continue;
        PolyVertex pv = v.vertex;
        if (is2d) pv.position.z = poly->elevation;
        poly->vertices.push_back(pv);
    }
}

std::vector<std::vector<std::uint32_t>> Assembler::placeEntities() {
    // Which pool entries each block takes, in order: its entities in handle order, each
    // insert followed by its attributes.
    std::vector<std::vector<std::uint32_t>> perBlock(d_.blocks.size());
    for (std::uint32_t i = 0; i < records_.size(); ++i) {
        const Record& o = records_[i];
        if (o.kind != Kind::Entity || o.type == type::Attrib) continue;
        const Handle owner = ownerOf(o);
        auto block = blockIndex_.find(owner);
        if (block == blockIndex_.end()) {
            // Attribute definitions and the like may hang off objects we do not keep.
            continue;
        }
        Entity& e = entities_[o.payload];
        e.owner = owner;
        attachVertices(i, e);
        auto& list = perBlock[block->second];
        list.push_back(o.payload);
        if (o.type != type::Insert && o.type != type::Minsert) continue;
        const auto [first, last] = childrenOf(i);
        for (auto it = first; it != last; ++it) {
            const Record& child = records_[it->second];
            if (child.kind != Kind::Entity) continue;
            entities_[child.payload].owner = o.handle;
            list.push_back(child.payload);
        }
    }
    return perBlock;
}

void Assembler::fillBlocks(std::vector<std::vector<std::uint32_t>>& perBlock) {
    // The block with the most entities keeps the pool when its entries can slide down
    // in it (no attribute stored before its insert): the others are moved out first,
    // then its own entries slide down over the gaps.
    std::size_t main = perBlock.size();
    std::size_t most = 0;
    for (std::size_t b = 0; b < perBlock.size(); ++b) {
        if (perBlock[b].size() > most) {
            most = perBlock[b].size();
            main = b;
        }
    }
    if (main < perBlock.size() &&
        (!d_.blocks[main].entities.empty() || !slidesDown(perBlock[main])))
        main = perBlock.size();
    for (std::size_t b = 0; b < perBlock.size(); ++b) {
        if (b == main) continue;
        auto& target = d_.blocks[b].entities;
        target.reserve(target.size() + perBlock[b].size());
        for (std::uint32_t idx : perBlock[b]) target.push_back(std::move(entities_[idx]));
        std::vector<std::uint32_t>().swap(perBlock[b]);
    }
    if (main < perBlock.size()) {
        const auto& list = perBlock[main];
        // Slot k is read by no later step once it is written: see slidesDown().
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (list[k] != k) entities_[k] = std::move(entities_[list[k]]);
        }
        entities_.erase(entities_.begin() + static_cast<std::ptrdiff_t>(list.size()),
                        entities_.end());
        d_.blocks[main].entities = std::move(entities_);
    }
    std::vector<Entity>().swap(entities_);
}

}  // namespace dwg
