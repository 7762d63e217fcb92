#include "dwgviewx/model/Drawing.h"

#include <cctype>

namespace dwg {

namespace {

template <class T>
void buildIndex(const std::vector<T>& items, std::unordered_map<Handle, std::size_t>& index) {
    index.clear();
    index.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) index.emplace(items[i].handle, i);
}

template <class T>
const T* lookup(const std::vector<T>& items, const std::unordered_map<Handle, std::size_t>& index,
                Handle h) {
    if (h == 0) return nullptr;
    auto it = index.find(h);
    if (it != index.end() && it->second < items.size() && items[it->second].handle == h)
        return &items[it->second];
    if (index.size() == items.size() && it == index.end()) return nullptr;
    for (const T& item : items) {
        if (item.handle == h) return &item;
    }
    return nullptr;
}

}  // namespace

void Drawing::rebuildIndex() {
    buildIndex(blocks, blockIndex_);
    buildIndex(layers, layerIndex_);
    buildIndex(lineTypes, lineTypeIndex_);
    buildIndex(textStyles, styleIndex_);
    buildIndex(dimStyles, dimStyleIndex_);
}

const Block* Drawing::modelSpace() const {
    if (const Block* b = findBlock(header.modelSpace)) return b;
    for (const Block& b : blocks) {
        std::string upper;
        for (char c : b.name)
            upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (upper == "*MODEL_SPACE") return &b;
    }
    return nullptr;
}

const Block* Drawing::findBlock(Handle h) const {
    return lookup(blocks, blockIndex_, h);
}
const Layer* Drawing::findLayer(Handle h) const {
    return lookup(layers, layerIndex_, h);
}
const LineType* Drawing::findLineType(Handle h) const {
    return lookup(lineTypes, lineTypeIndex_, h);
}
const TextStyle* Drawing::findTextStyle(Handle h) const {
    return lookup(textStyles, styleIndex_, h);
}
const DimStyle* Drawing::findDimStyle(Handle h) const {
    return lookup(dimStyles, dimStyleIndex_, h);
}

const Layer* Drawing::findLayerByName(const std::string& name) const {
    for (const Layer& l : layers) {
        if (l.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(l.name[i])) ==
                   std::tolower(static_cast<unsigned char>(name[i]));
        }
        if (same) return &l;
    }
    return nullptr;
}

}  // namespace dwg
