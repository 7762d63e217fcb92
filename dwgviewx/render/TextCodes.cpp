#include "TextCodes.h"

namespace dwgviewx::render {
namespace {

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Reads "\U+XXXX" at `i` (pointing at the backslash); on success appends the
// character and advances `i` past the escape.
bool unicodeEscape(const QString& s, qsizetype& i, QString& out) {
    if (i + 6 >= s.size() + 0 || s[i + 1].toUpper() != u'U' || s[i + 2] != u'+') return false;
    if (i + 7 > s.size()) return false;
    for (int k = 3; k < 7; ++k)
        if (!isHex(s[i + k])) return false;
    const char32_t code = s.mid(i + 3, 4).toUInt(nullptr, 16);
    out += QString::fromUcs4(&code, 1);
    i += 7;
    return true;
}

}  // namespace

QString decodeTextCodes(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (s[i] == u'\\' && unicodeEscape(s, i, out)) continue;
        if (s[i] == u'%' && i + 2 < s.size() && s[i + 1] == u'%') {
            const QChar c = s[i + 2].toLower();
            if (c == u'c')
                out += QChar(0x00D8);
            else if (c == u'd')
                out += QChar(0x00B0);
            else if (c == u'p')
                out += QChar(0x00B1);
            else if (c == u'%')
                out += u'%';
            if (c == u'c' || c == u'd' || c == u'p' || c == u'%' || c == u'u' || c == u'o') {
                i += 3;
                continue;
            }
            if (c.isDigit()) {
                qsizetype j = i + 2;
                while (j < s.size() && j < i + 5 && s[j].isDigit()) ++j;
                const uint code = s.mid(i + 2, j - i - 2).toUInt();
                if (code > 0) out += QChar(static_cast<char16_t>(code));
                i = j;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

QStringList mtextParagraphs(const QString& s) {
    QStringList paras;
    QString cur;
    auto skipTo = [&](qsizetype& i, QChar end) {
        while (i < s.size() && s[i] != end) ++i;
        if (i < s.size()) ++i;
    };
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s[i];
        if (c == u'{' || c == u'}') {
            ++i;
            continue;
        }
        if (c == u'\n') {
            paras << cur;
            cur.clear();
            ++i;
            continue;
        }
        if (c != u'\\' || i + 1 >= s.size()) {
            cur += c;
            ++i;
            continue;
        }
        if (unicodeEscape(s, i, cur)) continue;
        const QChar code = s[i + 1];
        i += 2;
        switch (code.unicode()) {
            case u'P':
                paras << cur;
                cur.clear();
                break;
            case u'~':
                cur += QChar(0x00A0);
                break;
            case u'\\':
            case u'{':
            case u'}':
                cur += code;
                break;
            case u'S': {
                // Stacked fraction up to ';': "a^b", "a/b" and "a#b" all show as "a/b".
                const qsizetype start = i;
                skipTo(i, u';');
                QString frac = s.mid(start, i - start);
                if (frac.endsWith(u';')) frac.chop(1);
                frac.replace(u'^', u'/').replace(u'#', u'/');
                cur += frac.trimmed();
                break;
            }
            case u'L':
            case u'l':
            case u'O':
            case u'o':
            case u'K':
            case u'k':
            case u'N':
            case u'X':
                break;  // toggles and column breaks without a visible mark
            case u'M':  // "\M+nXXXX": a double-byte code we cannot map without its code page
                if (i < s.size() && s[i] == u'+') i = std::min<qsizetype>(s.size(), i + 6);
                break;
            default:
                // \f \F \H \W \Q \T \A \C \c \p and unknown codes carry a value up to ';'.
                skipTo(i, u';');
                break;
        }
    }
    paras << cur;
    for (QString& p : paras) p = decodeTextCodes(p);
    return paras;
}

}  // namespace dwgviewx::render
