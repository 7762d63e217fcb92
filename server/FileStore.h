#pragma once
// The service's file folder: stored drawings and task pictures under random
// names, and the update package. Names handed in from outside are checked to be
// plain base names, so nothing outside the folder is ever read or written.
// Thread-safe: every file is written under a temporary name and renamed.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace server {

class FileStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FileStore {
public:
    // `root` is created when missing; the update package lives in root/../update.
    explicit FileStore(std::filesystem::path root);

    // Writes `bytes` under a new random name with `extension` (".dwg", ".jpg" or
    // empty) and returns that name. Throws FileStoreError when it cannot be written.
    std::string store(std::string_view bytes, std::string_view extension);
    // Copies a file into the store; returns the new name. Throws FileStoreError.
    std::string storeFile(const std::filesystem::path& source, std::string_view extension);

    // The full path of a stored file when `name` is a safe base name of an existing
    // regular file in the folder.
    std::optional<std::filesystem::path> find(std::string_view name) const;
    // Removes a stored file; a missing or unsafe name is ignored.
    void remove(std::string_view name) noexcept;

    // The update package "app.zip" (may not exist).
    std::filesystem::path updatePackage() const;
    // Replaces the update package with a copy of `source`. Throws FileStoreError.
    void setUpdatePackage(const std::filesystem::path& source);

    // A name made only of letters, digits, ".", "_" and "-", not starting with ".".
    static bool isSafeName(std::string_view name);
    // The extension (with its dot) of the last part of a client path, when it is
    // 1 to 10 letters or digits; otherwise empty.
    static std::string extensionOf(std::string_view clientPath);

private:
    void writeAtomically(const std::filesystem::path& target, std::string_view bytes);

    std::filesystem::path root_;
};

// 32 random lower-case hexadecimal digits.
std::string randomHex();
// A new GUID in the client's form: braces, upper-case hex, 8-4-4-4-12.
std::string newGuid();

}  // namespace server
