#include "server/FileStore.h"

#include <sodium.h>

#include <fstream>
#include <system_error>

namespace server {

namespace fs = std::filesystem;

std::string randomHex() {
    unsigned char bytes[16];
    randombytes_buf(bytes, sizeof bytes);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

std::string newGuid() {
    std::string hex = randomHex();
    for (char& c : hex) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return "{" + hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
           hex.substr(16, 4) + "-" + hex.substr(20, 12) + "}";
}

FileStore::FileStore(fs::path root) : root_(std::move(root)) {
    std::error_code ec;
    fs::create_directories(root_, ec);
    fs::create_directories(root_.parent_path() / "update", ec);
    if (!fs::is_directory(root_)) {
        throw FileStoreError("cannot create the file folder " + root_.string());
    }
}

bool FileStore::isSafeName(std::string_view name) {
    if (name.empty() || name.size() > 128 || name.front() == '.') return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

std::string FileStore::extensionOf(std::string_view clientPath) {
    const size_t cut = clientPath.find_last_of("\\/:");
    const std::string_view base =
        cut == std::string_view::npos ? clientPath : clientPath.substr(cut + 1);
    const size_t dot = base.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    const std::string_view ext = base.substr(dot + 1);
    if (ext.empty() || ext.size() > 10) return {};
    for (char c : ext) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!ok) return {};
    }
    return "." + std::string(ext);
}

void FileStore::writeAtomically(const fs::path& target, std::string_view bytes) {
    const fs::path tmp = target.parent_path() / (".tmp-" + randomHex());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            throw FileStoreError("cannot write " + target.string());
        }
    }
    std::error_code ec;
    fs::rename(tmp, target, ec);
    if (ec) {
        fs::remove(tmp, ec);
        throw FileStoreError("cannot store " + target.string());
    }
}

std::string FileStore::store(std::string_view bytes, std::string_view extension) {
    const std::string name = randomHex() + std::string(extension);
    if (!isSafeName(name)) throw FileStoreError("unsafe stored name");
    writeAtomically(root_ / name, bytes);
    return name;
}

std::string FileStore::storeFile(const fs::path& source, std::string_view extension) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw FileStoreError("cannot read " + source.string());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileStoreError("cannot read " + source.string());
    return store(bytes, extension);
}

std::optional<fs::path> FileStore::find(std::string_view name) const {
    if (!isSafeName(name)) return std::nullopt;
    fs::path p = root_ / std::string(name);
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(p, ec))) return std::nullopt;
    return p;
}

void FileStore::remove(std::string_view name) noexcept {
    if (!isSafeName(name)) return;
    std::error_code ec;
    fs::remove(root_ / std::string(name), ec);
}

fs::path FileStore::updatePackage() const {
    return root_.parent_path() / "update" / "app.zip";
}

void FileStore::setUpdatePackage(const fs::path& source) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw FileStoreError("cannot read " + source.string());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::error_code ec;
    fs::create_directories(updatePackage().parent_path(), ec);
    writeAtomically(updatePackage(), bytes);
}

}  // namespace server
