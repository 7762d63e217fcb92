#pragma once
// Private-profile (INI) semantics on one named file in GBK: every write goes to the
// file at once (written to a temporary file and renamed over, so a crash or a full
// disk keeps the previous file whole); sections and keys are created on first write;
// reads return the default for a missing file, section or key; values are read up to
// 2047 bytes. On systems with permissions the file is readable by its owner only.
//
// Section and key names match without regard to letter case. Blanks around keys and
// values are not significant; a value that begins or ends with a blank or a double
// quote is written inside double quotes, and one enclosing pair of double quotes is
// dropped on reading, so every one-line value reads back as written. Line breaks inside
// a value are written as blanks: a value is one line and may never add keys.
//
// Thread: an IniFile holds only its file name; every call reads or rewrites the file
// itself. Calls on the same file from two threads at once are not coordinated.
#include <QString>
#include <stdexcept>

namespace platform {

class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;  // "Unable to write to %s"
};

class IniFile {
public:
    // Longest value a read gives back, in GBK bytes.
    static constexpr int kMaxValueBytes = 2047;
    // Larger files are read only up to this size and are never rewritten.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    explicit IniFile(QString path);
    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal when the text has three or more characters and begins with
    // "0x" or "0X"; the default when the value is missing or not a number.
    int readInteger(const QString& section, const QString& key, int def) const;
    // A whole number: any number other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;
    // Throws IniWriteError("Unable to write to <path>") when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    // Writes "1" or "0".
    void writeBool(const QString& section, const QString& key, bool value);
    // Removes the key when it exists; throws IniWriteError like the writes.
    void deleteKey(const QString& section, const QString& key);

private:
    QString path_;
};

}  // namespace platform
