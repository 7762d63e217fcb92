#include "tests/library/ShellLinkWriter.h"

#include <QFile>
#include <QStringEncoder>

namespace testlnk {
namespace {

void u16(QByteArray& out, quint32 v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
void u32(QByteArray& out, quint32 v) {
    u16(out, v & 0xFFFF);
    u16(out, v >> 16);
}
void putU32(QByteArray& out, int at, quint32 v) {
    for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (8 * i)) & 0xFF);
}
QByteArray gbkZ(const QString& text) {
    QStringEncoder gbk("GBK");
    QByteArray bytes = gbk.encode(text);
    bytes.append('\0');
    return bytes;
}
QByteArray utf16Z(const QString& text) {
    QByteArray bytes;
    for (QChar c : text) u16(bytes, c.unicode());
    u16(bytes, 0);
    return bytes;
}

QByteArray fileEntry(const QString& name, bool last, int version) {
    QByteArray item;
    u16(item, 0);  // size, patched below
    item.append(char(last ? 0x32 : 0x31));
    item.append('\0');
    u32(item, 1234);        // file size
    u32(item, 0x5A2B3C4D);  // date and time
    u16(item, last ? 0x20 : 0x10);
    item.append("SHORT~1");
    item.append('\0');
    if (item.size() % 2) item.append('\0');
    const int blockAt = int(item.size());
    QByteArray block;
    u16(block, 0);  // size, patched below
    u16(block, quint32(version));
    u32(block, 0xBEEF0004);
    u32(block, 0x5A2B3C4D);
    u32(block, 0x5A2B3C4D);
    u16(block, 0x2E);
    if (version >= 7) block.append(QByteArray(18, '\0'));
    if (version >= 3) u16(block, 0);
    if (version >= 9) u32(block, 0);
    if (version >= 8) u32(block, 0);
    block.append(utf16Z(name));
    u16(block, quint32(blockAt));
    block[0] = char(block.size() & 0xFF);
    block[1] = char(block.size() >> 8);
    item.append(block);
    item[0] = char(item.size() & 0xFF);
    item[1] = char(item.size() >> 8);
    return item;
}

QByteArray idList(const QString& path, int version) {
    QByteArray list;
    // My Computer: 20D04FE0-3AEA-1069-A2D8-08002B30309D
    const char root[] = {0x14, 0x00,       0x1F, 0x50, char(0xE0), 0x4F,       char(0xD0),
                         0x20, char(0xEA), 0x3A, 0x69, 0x10,       char(0xA2), char(0xD8),
                         0x08, 0x00,       0x2B, 0x30, 0x30,       char(0x9D)};
    list.append(root, sizeof root);
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QByteArray volume;
    u16(volume, 0x19);
    volume.append(char(0x2F));
    volume.append(parts.first().toLatin1() + "\\");
    volume.append(QByteArray(0x19 - volume.size(), '\0'));
    list.append(volume);
    for (int i = 1; i < parts.size(); ++i)
        list.append(fileEntry(parts[i], i == parts.size() - 1, version));
    u16(list, 0);
    return list;
}

QByteArray linkInfo(const LinkSpec& spec) {
    const bool unicode = spec.localBaseUnicode.has_value();
    const int headerSize = unicode ? 0x24 : 0x1C;
    QByteArray info(headerSize, '\0');
    quint32 flags = 0;
    if (spec.networkName) {
        flags = 2;
        putU32(info, 0x14, quint32(info.size()));
        QByteArray link;
        u32(link, 0);  // size, patched
        u32(link, 0);
        u32(link, 0x14);  // NetNameOffset
        u32(link, 0);
        u32(link, 0);
        link.append(gbkZ(*spec.networkName));
        putU32(link, 0, quint32(link.size()));
        info.append(link);
    } else {
        flags = 1;
        putU32(info, 0x0C, quint32(info.size()));
        QByteArray volume;
        u32(volume, 0x11);
        u32(volume, 3);  // fixed drive
        u32(volume, 0x12345678);
        u32(volume, 0x10);
        volume.append('\0');
        info.append(volume);
        putU32(info, 0x10, quint32(info.size()));
        info.append(gbkZ(spec.localBaseAnsi.value_or(QString())));
    }
    putU32(info, 0x18, quint32(info.size()));
    info.append(gbkZ(spec.suffix));
    if (unicode) {
        putU32(info, 0x1C, quint32(info.size()));
        info.append(utf16Z(*spec.localBaseUnicode));
        putU32(info, 0x20, quint32(info.size()));
        info.append(utf16Z(spec.suffix));
    }
    putU32(info, 0, quint32(info.size()));
    putU32(info, 4, quint32(headerSize));
    putU32(info, 8, flags);
    return info;
}

}  // namespace

QByteArray makeShellLink(const LinkSpec& spec) {
    const bool hasInfo = spec.localBaseAnsi || spec.localBaseUnicode || spec.networkName;
    quint32 flags = 0x80;  // IsUnicode
    if (spec.idListPath) flags |= 0x1;
    if (hasInfo) flags |= 0x2;
    if (spec.forceNoLinkInfo) flags |= 0x100;
    QByteArray out;
    u32(out, 0x4C);
    const char clsid[] = {0x01,       0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                          char(0xC0), 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    out.append(clsid, sizeof clsid);
    u32(out, flags);
    out.append(QByteArray(0x4C - out.size(), '\0'));
    out[0x3C] = 1;  // SW_SHOWNORMAL
    if (spec.idListPath) {
        const QByteArray list = idList(*spec.idListPath, spec.extensionVersion);
        u16(out, quint32(list.size()));
        out.append(list);
    }
    if (hasInfo) out.append(linkInfo(spec));
    u32(out, 0);  // no extra data blocks
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace testlnk
