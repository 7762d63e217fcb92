#include "platform/ShellLink.h"

#include <QFile>
#include <QStringDecoder>
#include <cstdint>
#include <optional>

namespace platform {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr uint32_t kHasLinkTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kForceNoLinkInfo = 0x100;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr uint32_t kFileEntryExtension = 0xBEEF0004;
// 00021401-0000-0000-C000-000000000046 as stored (first three groups little-endian).
constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// A bounded view of bytes: every read checks its range and reports failure instead of
// reading past the end.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }

    std::optional<uint16_t> u16(size_t at) const {
        if (at > size_ || size_ - at < 2) return std::nullopt;
        return static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    std::optional<uint32_t> u32(size_t at) const {
        if (at > size_ || size_ - at < 4) return std::nullopt;
        return static_cast<uint32_t>(data_[at]) | (static_cast<uint32_t>(data_[at + 1]) << 8) |
               (static_cast<uint32_t>(data_[at + 2]) << 16) |
               (static_cast<uint32_t>(data_[at + 3]) << 24);
    }
    std::optional<Bytes> slice(size_t at, size_t length) const {
        if (at > size_ || size_ - at < length) return std::nullopt;
        return Bytes(data_ + at, length);
    }
    // A NUL-terminated string in the system code page; nothing when unterminated.
    std::optional<QString> ansiz(size_t at) const {
        for (size_t i = at; i < size_; ++i) {
            if (data_[i] == 0) return decodeAnsi(data_ + at, i - at);
        }
        return std::nullopt;
    }
    // A NUL-terminated UTF-16LE string; nothing when unterminated.
    std::optional<QString> utf16z(size_t at) const {
        QString text;
        for (size_t i = at; i < size_ && size_ - i >= 2; i += 2) {
            const char16_t unit = static_cast<char16_t>(data_[i] | (data_[i + 1] << 8));
            if (unit == 0) return text;
            text.append(QChar(unit));
        }
        return std::nullopt;
    }

private:
    static QString decodeAnsi(const uint8_t* p, size_t n) {
        const QByteArray raw(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
        QStringDecoder gbk("GBK");
        if (!gbk.isValid()) return QString::fromLatin1(raw);
        return gbk.decode(raw);
    }

    const uint8_t* data_;
    size_t size_;
};

QString joinSuffix(const QString& base, const QString& suffix) {
    if (suffix.isEmpty()) return base;
    if (base.endsWith(QLatin1Char('\\'))) return base + suffix;
    return base + QLatin1Char('\\') + suffix;
}

// CommonNetworkRelativeLink: the share's NetName (ANSI, or Unicode when offered).
std::optional<QString> networkName(const Bytes& info, uint32_t offset) {
    const auto size = info.u32(offset);
    if (!size || *size < 0x14) return std::nullopt;
    const auto link = info.slice(offset, *size);
    if (!link) return std::nullopt;
    const auto netNameOffset = link->u32(8);
    if (!netNameOffset) return std::nullopt;
    if (*netNameOffset > 0x14) {
        if (const auto unicodeOffset = link->u32(0x14); unicodeOffset && *unicodeOffset != 0) {
            return link->utf16z(*unicodeOffset);
        }
    }
    return link->ansiz(*netNameOffset);
}

// LinkInfo: LocalBasePath + CommonPathSuffix (Unicode forms preferred when present),
// or the network name + CommonPathSuffix.
std::optional<QString> linkInfoPath(const Bytes& info) {
    const auto headerSize = info.u32(4);
    const auto flags = info.u32(8);
    const auto localBaseOffset = info.u32(0x10);
    const auto networkOffset = info.u32(0x14);
    const auto suffixOffset = info.u32(0x18);
    if (!headerSize || !flags || !localBaseOffset || !networkOffset || !suffixOffset) {
        return std::nullopt;
    }
    if (*headerSize < 0x1C || *headerSize >= info.size()) return std::nullopt;
    const bool unicodeOffsets = *headerSize >= 0x24;
    std::optional<QString> suffix;
    if (unicodeOffsets) {
        const auto unicodeSuffix = info.u32(0x20);
        if (unicodeSuffix && *unicodeSuffix != 0) suffix = info.utf16z(*unicodeSuffix);
    }
    if (!suffix) suffix = info.ansiz(*suffixOffset);
    if (!suffix) suffix = QString();

    if (*flags & kVolumeIdAndLocalBasePath) {
        std::optional<QString> base;
        if (unicodeOffsets) {
            const auto unicodeBase = info.u32(0x1C);
            if (unicodeBase && *unicodeBase != 0) base = info.utf16z(*unicodeBase);
        }
        if (!base) base = info.ansiz(*localBaseOffset);
        if (!base || base->isEmpty()) return std::nullopt;
        return *base + *suffix;
    }
    if (*flags & kCommonNetworkRelativeLink) {
        const auto net = networkName(info, *networkOffset);
        if (!net || net->isEmpty()) return std::nullopt;
        return joinSuffix(*net, *suffix);
    }
    return std::nullopt;
}

// The long name of a file entry item from its extension block, when it has one.
std::optional<QString> longName(const Bytes& item) {
    if (item.size() < 4) return std::nullopt;
    const auto blockOffset = item.u16(item.size() - 2);
    if (!blockOffset) return std::nullopt;
    const auto blockSize = item.u16(*blockOffset);
    if (!blockSize) return std::nullopt;
    const auto block = item.slice(*blockOffset, *blockSize);
    if (!block) return std::nullopt;
    const auto version = block->u16(2);
    const auto signature = block->u32(4);
    if (!version || !signature || *signature != kFileEntryExtension) return std::nullopt;
    size_t nameAt = 0x12;
    if (*version >= 7) nameAt += 18;
    if (*version >= 3) nameAt += 2;
    if (*version >= 9) nameAt += 4;
    if (*version >= 8) nameAt += 4;
    const auto name = block->utf16z(nameAt);
    if (!name || name->isEmpty()) return std::nullopt;
    return name;
}

// A file entry item: the primary (short) name, replaced by the long name when present.
std::optional<QString> fileEntryName(const Bytes& item) {
    constexpr size_t kNameAt = 2 + 12;  // size, type, unknown, file size, date, attributes
    const auto type = item.slice(2, 1);
    if (!type) return std::nullopt;
    if (auto name = longName(item)) return name;
    return (type->data()[0] & 0x04) ? item.utf16z(kNameAt) : item.ansiz(kNameAt);
}

// LinkTargetIDList: a drive item followed by file entries spells the path; a root
// folder item in front is skipped. Any other kind of item cannot be spelled as a path.
std::optional<QString> idListPath(const Bytes& list) {
    QString path;
    size_t at = 0;
    while (true) {
        const auto size = list.u16(at);
        if (!size) return std::nullopt;
        if (*size == 0) break;
        const auto item = list.slice(at, *size);
        if (*size < 3 || !item) return std::nullopt;
        const uint8_t type = item->data()[2];
        if (type == 0x1F) {
            if (!path.isEmpty()) return std::nullopt;
        } else if ((type & 0x70) == 0x20) {
            const auto drive = item->ansiz(3);
            if (!drive || drive->isEmpty()) return std::nullopt;
            path = *drive;
        } else if ((type & 0x70) == 0x30) {
            const auto name = fileEntryName(*item);
            if (path.isEmpty() || !name || name->isEmpty()) return std::nullopt;
            path = joinSuffix(path, *name);
        } else {
            return std::nullopt;
        }
        at += *size;
    }
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

QString shellLinkTargetFromBytes(const QByteArray& bytes) {
    const Bytes file(reinterpret_cast<const uint8_t*>(bytes.constData()),
                     static_cast<size_t>(bytes.size()));
    const auto headerSize = file.u32(0);
    const auto flags = file.u32(0x14);
    if (!headerSize || *headerSize != kHeaderSize || !flags || file.size() < kHeaderSize) return {};
    for (size_t i = 0; i < sizeof kLinkClsid; ++i) {
        if (file.data()[4 + i] != kLinkClsid[i]) return {};
    }
    size_t at = kHeaderSize;
    std::optional<QString> fromIdList;
    if (*flags & kHasLinkTargetIdList) {
        const auto listSize = file.u16(at);
        if (!listSize) return {};
        const auto list = file.slice(at + 2, *listSize);
        if (!list) return {};
        fromIdList = idListPath(*list);
        at += 2 + *listSize;
    }
    if ((*flags & kHasLinkInfo) && !(*flags & kForceNoLinkInfo)) {
        const auto infoSize = file.u32(at);
        if (infoSize) {
            if (const auto info = file.slice(at, *infoSize)) {
                if (auto path = linkInfoPath(*info)) return *path;
            }
        }
    }
    return fromIdList.value_or(QString());
}

QString shellLinkTarget(const QString& lnkPath) {
    QFile file(lnkPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(kMaxShellLinkSize + 1);
    if (bytes.size() > kMaxShellLinkSize) return {};
    return shellLinkTargetFromBytes(bytes);
}

}  // namespace platform
