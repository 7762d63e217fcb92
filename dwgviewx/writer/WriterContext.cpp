#include "dwgviewx/writer/WriterContext.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>

namespace dwg::writer {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

bool needsWideCodePage(const Drawing& d) {
    for (const auto& l : d.layers) {
        if (!isAscii(l.name)) return true;
    }
    for (const auto& b : d.blocks) {
        if (!isAscii(b.name)) return true;
        for (const auto& e : b.entities) {
            if (const auto* t = std::get_if<Text>(&e.geometry); t && !isAscii(t->value))
                return true;
            if (const auto* m = std::get_if<MText>(&e.geometry); m && !isAscii(m->value))
                return true;
        }
    }
    return false;
}

}  // namespace

WriterContext::WriterContext(const Drawing& d) : d_(d) {
    // GBK (ANSI_936) when any text needs it, else the Western page.
    codePage_ = needsWideCodePage(d) ? 39 : 30;

    for (const auto& lt : d.lineTypes) {
        const std::string key = upper(lt.name);
        if (key == "BYLAYER") {
            lineTypeKind_[lt.handle] = 0;
        } else if (key == "BYBLOCK") {
            lineTypeKind_[lt.handle] = 1;
        } else if (key == "CONTINUOUS") {
            lineTypeKind_[lt.handle] = 2;
        } else {
            const Handle h = allocate();
            lineTypeMap_[lt.handle] = h;
            lineTypeKind_[lt.handle] = 3;
            lineTypes.emplace_back(&lt, h);
        }
    }
    for (const auto& l : d.layers) {
        if (l.name == "0" && !layerZero) {
            layerZero = &l;
            layerMap_[l.handle] = fixed::Layer0;
        } else {
            const Handle h = allocate();
            layerMap_[l.handle] = h;
            layers.emplace_back(&l, h);
        }
    }
    for (const auto& s : d.textStyles) {
        if (upper(s.name) == "STANDARD" && !standardStyle) {
            standardStyle = &s;
            styleMap_[s.handle] = fixed::StyleStandard;
        } else {
            const Handle h = allocate();
            styleMap_[s.handle] = h;
            styles.emplace_back(&s, h);
        }
    }
    // Model space first, paper space second, then the other blocks.
    const Block* model = nullptr;
    const Block* paper = nullptr;
    for (const auto& b : d.blocks) {
        const std::string key = upper(b.name);
        if (key == "*MODEL_SPACE" && !model) model = &b;
        if (key == "*PAPER_SPACE" && !paper) paper = &b;
    }
    auto plan = [&](const Block* src, std::string name, int entmode) {
        BlockPlan p;
        p.source = src;
        p.name = std::move(name);
        p.header = allocate();
        p.blockEntity = allocate();
        p.endBlock = allocate();
        p.entmode = entmode;
        if (src) blockMap_[src->handle] = p.header;
        blocks.push_back(std::move(p));
    };
    plan(model, "*Model_Space", 2);
    plan(paper, "*Paper_Space", 1);
    for (const auto& b : d.blocks) {
        if (&b != model && &b != paper) plan(&b, b.name, 0);
    }
}

WriterContext::~WriterContext() {
    if (toGbk_) iconv_close(static_cast<iconv_t>(toGbk_));
}

std::string WriterContext::encode(const std::string& utf8) const {
    if (codePage_ != 39 || isAscii(utf8)) return utf8;
    if (!toGbk_) {
        iconv_t opened = iconv_open("GBK//TRANSLIT", "UTF-8");
        if (opened == reinterpret_cast<iconv_t>(-1)) return utf8;
        toGbk_ = opened;
    }
    auto cd = static_cast<iconv_t>(toGbk_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each text
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            if (outLeft == 0) break;
            *outPtr++ = '?';  // a character GBK cannot hold
            --outLeft;
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
    }
    out.resize(out.size() - outLeft);
    return out;
}

Handle WriterContext::layer(Handle input) const {
    auto it = layerMap_.find(input);
    return it == layerMap_.end() ? fixed::Layer0 : it->second;
}

Handle WriterContext::lineType(Handle input, int* flags) const {
    auto kind = lineTypeKind_.find(input);
    if (input == 0 || kind == lineTypeKind_.end()) {
        *flags = 0;
        return 0;
    }
    *flags = kind->second;
    if (kind->second == 3) return lineTypeMap_.at(input);
    return 0;
}

Handle WriterContext::textStyle(Handle input) const {
    auto it = styleMap_.find(input);
    return it == styleMap_.end() ? fixed::StyleStandard : it->second;
}

Handle WriterContext::block(Handle input) const {
    auto it = blockMap_.find(input);
    return it == blockMap_.end() ? 0 : it->second;
}

void WriterContext::add(Handle h, const std::vector<std::uint8_t>& bytes) {
    objects_.push_back({h, objectBytes_.size(), bytes.size()});
    objectBytes_.insert(objectBytes_.end(), bytes.begin(), bytes.end());
}

std::vector<WriterContext::StoredObject> WriterContext::objectsByHandle() const {
    std::vector<StoredObject> out = objects_;
    // The offset orders objects of one handle as they were added (it only grows).
    std::sort(out.begin(), out.end(), [](const StoredObject& a, const StoredObject& b) {
        return a.handle != b.handle ? a.handle < b.handle : a.offset < b.offset;
    });
    // Of two objects with one handle the later stands: keep the last of each run.
    std::vector<StoredObject> unique;
    unique.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i + 1 < out.size() && out[i + 1].handle == out[i].handle) continue;
        unique.push_back(out[i]);
    }
    return unique;
}

}  // namespace dwg::writer
