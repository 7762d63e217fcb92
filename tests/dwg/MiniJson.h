#pragma once
// A small JSON reader for the corpus facts file (tests only).
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dwgtest {

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json* find(const std::string& key) const {
        auto it = fields.find(key);
        return it == fields.end() ? nullptr : &it->second;
    }
};

// Parses `text`; returns false on malformed input.
bool parseJson(const std::string& text, Json& out);

}  // namespace dwgtest
