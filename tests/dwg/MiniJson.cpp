#include "MiniJson.h"
#include "dwgviewx/dwg/BitReader.h"

#include <cstdlib>

namespace dwgtest {

namespace {

struct Parser {
    const std::string& s;
    std::size_t i = 0;
    int depth = 0;

    void ws() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\n' || s[i] == '\r' || s[i] == '\t')) ++i;
    }
    bool lit(const char* w) {
        const std::string word(w);
        if (s.compare(i, word.size(), word) != 0) return false;
        i += word.size();
        return true;
    }
    bool hex4(unsigned& v) {
        if (i + 4 > s.size()) return false;
        v = static_cast<unsigned>(std::strtoul(s.substr(i, 4).c_str(), nullptr, 16));
        i += 4;
        return true;
    }
    bool string(std::string& out) {
        if (s[i] != '"') return false;
        ++i;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (i >= s.size()) return false;
            c = s[i++];
            switch (c) {
                case 'n':
                    out.push_back('\n');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'u': {
                    unsigned cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xD800 && cp <= 0xDBFF && lit("\\u")) {
                        unsigned lo = 0;
                        if (!hex4(lo)) return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    }
                    dwg::appendUtf8(out, cp);
                    break;
                }
                default:
                    out.push_back(c);
            }
        }
        if (i >= s.size()) return false;
        ++i;
        return true;
    }
    bool value(Json& v) {
        if (++depth > 64) return false;
        ws();
        if (i >= s.size()) return false;
        bool ok = true;
        if (s[i] == '{') {
            v.kind = Json::Object;
            ++i;
            ws();
            if (i < s.size() && s[i] == '}') {
                ++i;
            } else {
                while (ok) {
                    ws();
                    std::string key;
                    if (i >= s.size() || !string(key)) return false;
                    ws();
                    if (i >= s.size() || s[i++] != ':') return false;
                    if (!value(v.fields[key])) return false;
                    ws();
                    if (i < s.size() && s[i] == ',') {
                        ++i;
                        continue;
                    }
                    ok = i < s.size() && s[i++] == '}';
                    break;
                }
            }
        } else if (s[i] == '[') {
            v.kind = Json::Array;
            ++i;
            ws();
            if (i < s.size() && s[i] == ']') {
                ++i;
            } else {
                while (true) {
                    v.items.emplace_back();
                    if (!value(v.items.back())) return false;
                    ws();
                    if (i < s.size() && s[i] == ',') {
                        ++i;
                        continue;
                    }
                    ok = i < s.size() && s[i++] == ']';
                    break;
                }
            }
        } else if (s[i] == '"') {
            v.kind = Json::String;
            ok = string(v.text);
        } else if (lit("true") || lit("false")) {
            v.kind = Json::Bool;
            v.boolean = s[i - 1] == 'e' && s[i - 2] == 'u';
        } else if (lit("null")) {
            v.kind = Json::Null;
        } else {
            char* end = nullptr;
            v.kind = Json::Number;
            v.number = std::strtod(s.c_str() + i, &end);
            if (end == s.c_str() + i) return false;
            i = static_cast<std::size_t>(end - s.c_str());
        }
        --depth;
        return ok;
    }
};

}  // namespace

bool parseJson(const std::string& text, Json& out) {
    Parser p{text};
    if (!p.value(out)) return false;
    p.ws();
    return p.i == text.size();
}

}  // namespace dwgtest
