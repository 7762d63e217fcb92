// The field splitter of the service client (declared in ucm.h). Kept apart from the
// requests so that it can be fuzzed without the HTTP client.
#include "service/ucm.h"

namespace ucm {

namespace {

// Blanks and control characters (codes 1 to 32) separate fields like the delimiter.
bool isBlankOrControl(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

}  // namespace

// Works on characters, not GBK bytes: a two-byte character is one QChar, so neither of
// its bytes can be taken for the delimiter or a blank.
QStringList SplitDelimited(const QString& text, QChar delimiter) {
    QStringList fields;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlankOrControl(text[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
        QString field;
        if (text[i] == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;  // the closing quote
                    break;
                }
                field += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != delimiter && !isBlankOrControl(text[i])) ++i;
            field = text.mid(start, i - start);
        }
        fields << field;
        skipBlanks();
        if (i < n && text[i] == delimiter) {
            if (i == n - 1) fields << QString();
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

}  // namespace ucm
