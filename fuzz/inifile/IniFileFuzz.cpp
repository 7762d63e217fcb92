// The input is the content of a settings file: every read must work, and a key written
// into it must read back as written (line breaks as blanks, at most 2047 bytes).
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "platform/Gbk.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Memory-backed when the system has it: every write syncs the file to disk.
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/orvane-inifile-fuzz-XXXXXX")
                                 : QString());
    const QString path = dir.filePath(QStringLiteral("set.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    platform::IniFile ini(path);
    for (int n = 1; n <= 10; ++n) ini.readString("df", QStringLiteral("df%1").arg(n), QString());
    ini.readString(QStringLiteral("user"), QStringLiteral("msgDate"), QStringLiteral("now"));
    ini.readBool(QStringLiteral("user"), QStringLiteral("chk"), false);
    ini.readInteger(QStringLiteral("user"), QStringLiteral("name"), 0);

    // The first line of the input (as GBK text, without blanks at its ends) as a value.
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString value = platform::fromGbk(raw.left(200).split('\n').first().split('\r').first())
                              .remove(QChar(0))
                              .trimmed();
    try {
        ini.writeString(QStringLiteral("user"), QStringLiteral("pwd"), value);
    } catch (const platform::IniWriteError&) {
        return 0;
    }
    // Characters GBK cannot hold come back as "?"; compare through GBK.
    if (platform::toGbk(ini.readString(QStringLiteral("user"), QStringLiteral("pwd"), QString())) !=
        platform::toGbk(value)) {
        std::abort();
    }
    return 0;
}
