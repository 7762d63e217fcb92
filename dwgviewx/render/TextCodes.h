#pragma once
// Text as stored in drawings to text as shown: the %% control codes of single-line
// text and the inline formatting codes of multi-line text. Formatting the renderer
// does not draw (fonts, colours, under/overlines, tracking) is removed. Pure
// functions, bounded by the input's length; thread-safe.
#include <QString>
#include <QStringList>

namespace dwgviewx::render {

// "%%c" → "Ø", "%%d" → "°", "%%p" → "±", "%%%" → "%", "%%nnn" → that code,
// "%%u"/"%%o" dropped, and "\U+XXXX" escapes decoded.
QString decodeTextCodes(const QString& raw);

// The paragraphs of a multi-line text with every inline code resolved: "\P" (and a
// real line break) ends a paragraph, "\~" is a non-breaking space, "\S a^b;" stacks
// as "a/b", "{...}" groups and "\f...;", "\H...;", "\C...;" etc. are dropped.
QStringList mtextParagraphs(const QString& raw);

}  // namespace dwgviewx::render
