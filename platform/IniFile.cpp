#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <optional>

#include "platform/Gbk.h"

namespace platform {

namespace {

using Lines = QList<QByteArray>;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin])) ++begin;
    while (end > begin && isBlank(bytes[end - 1])) --end;
    return bytes.mid(begin, end - begin);
}

bool sameName(const QByteArray& stored, const QString& wanted) {
    return fromGbk(trimBlanks(stored)).compare(wanted.trimmed(), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = trimBlanks(line);
    if (!t.startsWith('[')) return std::nullopt;
    qsizetype close = t.indexOf(']');
    if (close < 0) close = t.size();
    return t.mid(1, close - 1);
}

struct Found {
    qsizetype sectionLine = -1;  // index of the "[section]" line
    qsizetype keyLine = -1;      // index of the "key=value" line
    qsizetype lastLine = -1;     // last non-empty line of the section
};

Found find(const Lines& lines, const QString& section, const QString& key) {
    Found found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (found.sectionLine >= 0) break;  // the first matching section is the one
            if (sameName(*name, section)) {
                found.sectionLine = i;
                found.lastLine = i;
            }
            continue;
        }
        if (found.sectionLine < 0) continue;
        if (!trimBlanks(lines[i]).isEmpty()) found.lastLine = i;
        const qsizetype eq = lines[i].indexOf('=');
        if (found.keyLine < 0 && eq >= 0 && sameName(lines[i].left(eq), key)) found.keyLine = i;
    }
    return found;
}

// Reads the file's lines; nothing when it does not exist or cannot be read.
std::optional<Lines> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Reading with the limit as size would allocate the whole limit every time.
    const QByteArray data = file.read(qMin(file.size(), IniFile::kMaxFileBytes));
    Lines lines = data.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

[[noreturn]] void failWrite(const QString& path) {
    throw IniWriteError("Unable to write to " + path.toStdString());
}

void writeLines(const QString& path, const Lines& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) failWrite(path);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray data;
    for (const QByteArray& line : lines) data += line + "\r\n";
    if (file.write(data) != data.size() || !file.commit()) failWrite(path);
}

// Loads the lines to change; an existing file that cannot be read or is too large is
// never replaced, so its content cannot be lost.
Lines linesForUpdate(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    if (info.size() > IniFile::kMaxFileBytes) failWrite(path);
    auto lines = readLines(path);
    if (!lines) failWrite(path);
    return *lines;
}

QByteArray oneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return toGbk(line);
}

QByteArray storedValue(const QString& value) {
    QByteArray bytes = oneLine(value);
    if (!bytes.isEmpty() && (isBlank(bytes.front()) || isBlank(bytes.back()) ||
                             bytes.front() == '"' || bytes.back() == '"')) {
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

// Cuts to at most `max` GBK bytes without splitting a two-byte character.
QByteArray cutGbk(const QByteArray& bytes, qsizetype max) {
    if (bytes.size() <= max) return bytes;
    qsizetype i = 0;
    while (i < max) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qsizetype step = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
        if (i + step > max) break;
        i += step;
    }
    return bytes.left(i);
}

std::optional<int> parseInteger(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    if (t.size() >= 3 && t[0] == QLatin1Char('0') &&
        (t[1] == QLatin1Char('x') || t[1] == QLatin1Char('X'))) {
        const QString digits = t.mid(2);
        if (digits.size() > 8) return std::nullopt;
        for (QChar c : digits) {
            if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c)) return std::nullopt;
        }
        const uint value = digits.toUInt(&ok, 16);
        if (!ok) return std::nullopt;
        return static_cast<int>(value);  // eight hex digits cover the whole 32-bit range
    }
    for (qsizetype i = 0; i < t.size(); ++i) {
        const bool sign = i == 0 && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'));
        if (!sign && !(t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))) return std::nullopt;
    }
    const int value = t.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const auto lines = readLines(path_);
    if (!lines) return def;
    const Found found = find(*lines, section, key);
    if (found.keyLine < 0) return def;
    const QByteArray& line = (*lines)[found.keyLine];
    QByteArray value = trimBlanks(line.mid(line.indexOf('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.mid(1, value.size() - 2);
    }
    return fromGbk(cutGbk(value, kMaxValueBytes));
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    const QString text = readString(section, key, QString());
    return parseInteger(text).value_or(def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    Lines lines = linesForUpdate(path_);
    const Found found = find(lines, section, key);
    const QByteArray keyLine = oneLine(key.trimmed()) + '=' + storedValue(value);
    if (found.keyLine >= 0) {
        lines[found.keyLine] = keyLine;
    } else if (found.sectionLine >= 0) {
        lines.insert(found.lastLine + 1, keyLine);
    } else {
        if (!lines.isEmpty() && !trimBlanks(lines.last()).isEmpty()) lines.append(QByteArray());
        lines.append('[' + oneLine(section.trimmed()) + ']');
        lines.append(keyLine);
    }
    writeLines(path_, lines);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::deleteKey(const QString& section, const QString& key) {
    Lines lines = linesForUpdate(path_);
    const Found found = find(lines, section, key);
    if (found.keyLine < 0) return;
    lines.removeAt(found.keyLine);
    writeLines(path_, lines);
}

}  // namespace platform
