// dwginfo FILE [--json]: what the decoder makes of a drawing: version, entity counts by
// type (model space and in all), layers, extents, skipped and broken objects, timing.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "dwgviewx/dwg/Decoder.h"

namespace {

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out + "\"";
}

std::string jsonCounts(const std::map<std::string, int>& m) {
    std::string out = "{";
    bool first = true;
    for (const auto& [k, v] : m) {
        out += (first ? "" : ", ") + jsonString(k) + ": " + std::to_string(v);
        first = false;
    }
    return out + "}";
}

std::string number(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

std::string point(const dwg::Vec3& p) {
    return "[" + number(p.x) + ", " + number(p.y) + ", " + number(p.z) + "]";
}

void printJson(const std::string& file, const dwg::Drawing& d, double ms) {
    const auto& r = d.report;
    std::cout << "{\n  \"file\": " << jsonString(file) << ",\n";
    std::cout << "  \"version_magic\": " << jsonString(d.header.versionMagic) << ",\n";
    std::cout << "  \"codepage\": " << d.header.codePage << ",\n";
    std::cout << "  \"entities_model_space\": " << jsonCounts(r.modelSpaceByType) << ",\n";
    std::cout << "  \"entities_all\": " << jsonCounts(r.entitiesByType) << ",\n";
    std::cout << "  \"layers\": [";
    for (std::size_t i = 0; i < d.layers.size(); ++i)
        std::cout << (i ? ", " : "") << jsonString(d.layers[i].name);
    std::cout << "],\n";
    std::cout << "  \"extmin\": " << point(d.header.extents.min) << ",\n";
    std::cout << "  \"extmax\": " << point(d.header.extents.max) << ",\n";
    std::cout << "  \"objects\": " << r.objectsTotal << ",\n";
    std::cout << "  \"skipped\": " << r.skippedObjects << ",\n";
    std::cout << "  \"skipped_by_type\": " << jsonCounts(r.skippedByType) << ",\n";
    std::cout << "  \"broken\": " << r.brokenObjects << ",\n";
    std::cout << "  \"checksum_mismatches\": " << r.checksumMismatches << ",\n";
    std::cout << "  \"messages\": [";
    for (std::size_t i = 0; i < r.messages.size(); ++i)
        std::cout << (i ? ", " : "") << jsonString(r.messages[i]);
    std::cout << "],\n  \"warnings\": [";
    for (std::size_t i = 0; i < r.warnings.size(); ++i)
        std::cout << (i ? ", " : "") << jsonString(r.warnings[i]);
    std::cout << "],\n  \"decode_ms\": " << number(ms) << "\n}\n";
}

void printText(const std::string& file, const dwg::Drawing& d, double ms) {
    const auto& r = d.report;
    std::cout << file << ": " << d.header.versionMagic << ", code page " << d.header.codePage
              << "\n";
    std::cout << "model space:";
    for (const auto& [k, v] : r.modelSpaceByType) std::cout << ' ' << k << '=' << v;
    std::cout << "\nall entities:";
    for (const auto& [k, v] : r.entitiesByType) std::cout << ' ' << k << '=' << v;
    std::cout << "\nlayers (" << d.layers.size() << "):";
    for (const auto& l : d.layers) std::cout << " \"" << l.name << '"';
    std::cout << "\nextents: " << point(d.header.extents.min) << " - "
              << point(d.header.extents.max) << "\n";
    std::cout << "objects " << r.objectsTotal << ", skipped " << r.skippedObjects << ", broken "
              << r.brokenObjects << ", checksum mismatches " << r.checksumMismatches << "\n";
    for (const auto& m : r.messages) std::cout << "  problem: " << m << "\n";
    for (const auto& w : r.warnings) std::cout << "  warning: " << w << "\n";
    std::cout << "decoded in " << number(ms) << " ms\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            json = true;
        } else if (file.empty()) {
            file = a;
        } else {
            file.clear();
            break;
        }
    }
    if (file.empty()) {
        std::cerr << "usage: dwginfo FILE [--json]\n";
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    auto result = dwg::readFile(file);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!result) {
        std::cerr << file << ": " << result.error() << "\n";
        return 1;
    }
    if (json) {
        printJson(file, result.value(), ms);
    } else {
        printText(file, result.value(), ms);
    }
    return 0;
}
