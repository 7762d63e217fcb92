#include "TextLayout.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <cmath>

#include "BuildContext.h"
#include "Scene.h"
#include "TextCodes.h"

namespace dwgviewx::render {
namespace {

constexpr double kCap = kCapShareOfEm * Scene::kTextEm;  // cap height in text space
constexpr int kMaxTextLength = 4096;
constexpr int kMaxLines = 2000;

const dwg::TextStyle* findStyle(const dwg::Drawing& d, dwg::Handle h) {
    for (const auto& s : d.textStyles)
        if (s.handle == h) return &s;
    return nullptr;
}

double positiveOr(double v, double fallback) {
    return std::isfinite(v) && v > 0 ? v : fallback;
}

}  // namespace

QString FontResolver::cjkFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* f : {"Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Micro Hei",
                              "Source Han Sans SC", "Droid Sans Fallback"}) {
            if (installed.contains(QString::fromLatin1(f))) return QString::fromLatin1(f);
        }
        return QFont().defaultFamily();
    }();
    return family;
}

void FontResolver::registerSubstitutions() {
    static const bool done = [] {
        const QString cjk = cjkFamily();
        for (const char* name :
             {"宋体", "新宋体", "微软雅黑", "黑体", "仿宋", "楷体", "仿宋_GB2312", "楷体_GB2312",
              "SimSun", "NSimSun", "Microsoft YaHei", "SimHei", "FangSong", "KaiTi",
              "OrvaneCAD Shape Font"}) {
            QFont::insertSubstitution(QString::fromUtf8(name), cjk);
        }
        return true;
    }();
    (void)done;
}

FontResolver::FontResolver() {
    registerSubstitutions();
}

QString FontResolver::family(const dwg::TextStyle* style) {
    QString file = style ? QString::fromStdString(style->fontFile) : QString();
    if (style && file.isEmpty()) file = QString::fromStdString(style->bigFontFile);
    const QString key = file.toLower();
    auto it = familyByFont_.constFind(key);
    if (it != familyByFont_.constEnd()) return *it;

    QString family;
    const QString base = QFileInfo(file).completeBaseName().toLower();
    static const QHash<QString, QString> known = {
        {"simsun", "宋体"}, {"simsunb", "宋体"}, {"msyh", "微软雅黑"}, {"msyhbd", "微软雅黑"},
        {"simhei", "黑体"}, {"simfang", "仿宋"}, {"simkai", "楷体"},   {"nsimsun", "新宋体"}};
    if (key.isEmpty() || key.endsWith(".shx") || !key.contains('.')) {
        // Shape fonts are not drawn glyph by glyph; one substitute font stands in for all.
        family = QStringLiteral("OrvaneCAD Shape Font");
    } else if (known.contains(base)) {
        family = known.value(base);
    } else {
        family = QFileInfo(file).completeBaseName();
        if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
            QFont::insertSubstitution(family, cjkFamily());
    }
    familyByFont_.insert(key, family);
    return family;
}

const QFontMetricsF& FontResolver::metrics(const QString& family) {
    auto it = metrics_.find(family);
    if (it == metrics_.end()) {
        QFont f(family);
        f.setPixelSize(static_cast<int>(Scene::kTextEm));
        it = metrics_.insert(family, std::make_shared<QFontMetricsF>(f));
    }
    return **it;
}

void emitText(SceneEmitter& out, FontResolver& fonts, const dwg::Drawing& d, const dwg::Text& t,
              const Affine3& ocsToWorld, const PrimStyle& style) {
    QString text =
        decodeTextCodes(QString::fromStdString(t.isAttDef && t.value.empty() ? t.tag : t.value));
    if (text.trimmed().isEmpty()) return;
    text.truncate(kMaxTextLength);
    const dwg::TextStyle* ts = findStyle(d, t.style);
    const QString family = fonts.family(ts);
    const QFontMetricsF& fm = fonts.metrics(family);
    const double advance = std::max(fm.horizontalAdvance(text), 1e-9);

    double height = positiveOr(t.height, ts ? positiveOr(ts->fixedHeight, 0) : 0);
    height = positiveOr(height, positiveOr(d.header.textSize, 2.5));
    double wf = positiveOr(t.widthFactor, 1.0);
    double rotation = std::isfinite(t.rotation) ? t.rotation : 0.0;
    const double oblique = std::isfinite(t.oblique) ? t.oblique : 0.0;
    QPointF anchor(t.insertion.x, t.insertion.y);
    double ax = 0, ay = 0;  // the text-space point that lands on `anchor`

    const QPointF a2(t.alignment.x, t.alignment.y);
    const QPointF span = a2 - anchor;
    const double spanLen = std::hypot(span.x(), span.y());
    const bool fitted = t.hAlign == dwg::HAlign::Aligned || t.hAlign == dwg::HAlign::Fit;
    if (fitted && spanLen > 1e-12) {
        rotation = std::atan2(span.y(), span.x());
        const double natural = advance * height / kCap * wf;
        if (t.hAlign == dwg::HAlign::Aligned)
            height *= spanLen / natural;
        else
            wf *= spanLen / natural;
    } else if (t.hAlign != dwg::HAlign::Left || t.vAlign != dwg::VAlign::Baseline) {
        anchor = a2;
        if (t.hAlign == dwg::HAlign::Center || t.hAlign == dwg::HAlign::Middle) ax = advance / 2;
        if (t.hAlign == dwg::HAlign::Right) ax = advance;
        if (t.hAlign == dwg::HAlign::Middle) ay = -kCap / 2;
        if (t.vAlign == dwg::VAlign::Bottom) ay = fm.descent();
        if (t.vAlign == dwg::VAlign::Middle) ay = -kCap / 2;
        if (t.vAlign == dwg::VAlign::Top) ay = -kCap;
    }
    const double k = height / kCap;
    const double mx = t.mirrorX ? -1 : 1, my = t.mirrorY ? -1 : 1;
    QTransform m = QTransform::fromTranslate(-ax, -ay);
    m *= QTransform::fromScale(k * wf * mx, -k * my);
    m *= QTransform(1, 0, std::tan(std::clamp(oblique, -1.4, 1.4)), 1, 0, 0);
    m *= QTransform().rotateRadians(rotation);
    m *= QTransform::fromTranslate(anchor.x(), anchor.y());
    m *= planeToWorld(ocsToWorld, t.insertion.z);

    TextRun run;
    run.text = text;
    run.family = family;
    run.toWorld = m;
    run.box = QRectF(0, -fm.ascent(), advance, fm.ascent() + fm.descent());
    out.text(std::move(run), style);
}

namespace {

// Breaks one paragraph into lines no wider than `maxWidth` text-space units, at
// spaces where possible and between any two characters otherwise (CJK has no spaces).
QStringList wrap(const QString& para, double maxWidth, const QFontMetricsF& fm) {
    if (maxWidth <= 0 || fm.horizontalAdvance(para) <= maxWidth) return {para};
    QStringList lines;
    QString line;
    for (QChar c : para) {
        if (lines.size() > kMaxLines) break;
        if (!line.isEmpty() && fm.horizontalAdvance(line + c) > maxWidth) {
            const qsizetype sp = line.lastIndexOf(u' ');
            if (sp > 0 && c != u' ') {
                lines << line.left(sp);
                line = line.mid(sp + 1);
            } else {
                lines << line;
                line.clear();
            }
            if (c == u' ') continue;
        }
        line += c;
    }
    lines << line;
    return lines;
}

}  // namespace

void emitMText(SceneEmitter& out, FontResolver& fonts, const dwg::Drawing& d, const dwg::MText& t,
               const Affine3& blockToWorld, const dwg::Vec3& extrusion, const PrimStyle& style) {
    const dwg::TextStyle* ts = findStyle(d, t.style);
    const QString family = fonts.family(ts);
    const QFontMetricsF& fm = fonts.metrics(family);
    const double height = positiveOr(t.height, positiveOr(d.header.textSize, 2.5));
    const double k = height / kCap;
    const double boxWidth = std::isfinite(t.rectWidth) && t.rectWidth > 0 ? t.rectWidth / k : 0;

    QString raw = QString::fromStdString(t.value);
    raw.truncate(kMaxTextLength * 4);
    QStringList lines;
    for (const QString& p : mtextParagraphs(raw)) {
        lines << wrap(p, boxWidth, fm);
        if (lines.size() > kMaxLines) break;
    }
    double widest = 0;
    for (const QString& l : lines) widest = std::max(widest, fm.horizontalAdvance(l));
    const double blockWidth = boxWidth > 0 ? boxWidth : widest;
    const double spacing = 5.0 / 3.0 * kCap * positiveOr(t.lineSpacingFactor, 1.0);
    const double lastBaseline = spacing * static_cast<double>(lines.size() - 1);
    const int attach = std::clamp(t.attachment, 1, 9) - 1;
    const int col = attach % 3, row = attach / 3;
    const double ax = col * blockWidth / 2;
    const double ay = row == 0 ? -kCap : row == 1 ? (lastBaseline - kCap) / 2 : lastBaseline;

    // The text's own frame: x along its direction, y up in its plane.
    const dwg::Vec3 n = normalized(extrusion);
    dwg::Vec3 xdir = t.xAxis;
    if (!(length(xdir) > 1e-12)) xdir = Affine3::ocs(n).applyLinear({1, 0, 0});
    xdir = normalized(xdir);
    const dwg::Vec3 ydir = normalized(cross(n, xdir));
    const dwg::Vec3 o = blockToWorld.apply(t.insertion);
    const dwg::Vec3 X = blockToWorld.applyLinear(xdir), Y = blockToWorld.applyLinear(ydir);
    const QTransform frame(X.x, X.y, Y.x, Y.y, o.x, o.y);
    const QTransform base =
        QTransform::fromTranslate(-ax, -ay) * QTransform::fromScale(k, -k) * frame;

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty()) continue;
        const double w = fm.horizontalAdvance(line);
        const double dx = col == 0 ? 0 : col == 1 ? (blockWidth - w) / 2 : blockWidth - w;
        TextRun run;
        run.text = line;
        run.family = family;
        run.toWorld = QTransform::fromTranslate(dx, spacing * static_cast<double>(i)) * base;
        run.box = QRectF(0, -fm.ascent(), w, fm.ascent() + fm.descent());
        out.text(std::move(run), style);
    }
}

}  // namespace dwgviewx::render
