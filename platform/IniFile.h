#pragma once
// Private-profile (INI) semantics on one named file in GBK: every write goes to the
// file at once (written to a temporary file and renamed over, so a crash or a full
// disk keeps the previous file whole); sections and keys are created on first write;
// reads return the default for a missing file, section or key; values are read up to
// 2047 bytes. On systems with permissions the file is readable by its owner only.
#include <QString>
#include <stdexcept>

namespace platform {

class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;  // "Unable to write to %s"
};

class IniFile {
public:
    explicit IniFile(QString path);
    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"; the default when the value is not a number.
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;
    // Throws IniWriteError("Unable to write to <path>") when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void deleteKey(const QString& section, const QString& key);

private:
    QString path_;
};

}  // namespace platform
