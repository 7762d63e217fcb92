#include "CorpusFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace containertest {

std::string corpusDir() {
    const fs::path dir = fs::path(ORVANE_SHARED_DIR) / "dwg";
    std::error_code ec;
    return fs::is_directory(dir, ec) ? dir.string() : std::string();
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> corpusFiles(const std::vector<std::string>& magics) {
    std::vector<std::string> out;
    const std::string dir = corpusDir();
    if (dir.empty()) return out;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".dwg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        char magic[6] = {};
        in.read(magic, 6);
        const std::string m(magic, 6);
        if (std::find(magics.begin(), magics.end(), m) != magics.end())
            out.push_back(entry.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> crasherFiles(const std::string& prefix) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(ORVANE_CRASHERS_DIR, ec)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            out.push_back(entry.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::uint16_t crc16(std::uint16_t seed, const std::uint8_t* p, std::size_t n) {
    std::uint16_t crc = seed;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

}  // namespace containertest
