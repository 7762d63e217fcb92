#pragma once
// Places single-line and multi-line text of a drawing as TextRuns: alignment,
// height, rotation, width factor, obliquing, mirroring, and for multi-line text the
// box width, attachment point and line breaks. Fonts named by the drawing (Chinese
// TrueType names, SHX shape fonts) are substituted by an installed CJK font.
// UI thread only (uses Qt font metrics).
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <memory>

#include "../model/Drawing.h"
#include "Affine3.h"
#include "SceneEmitter.h"

namespace dwgviewx::render {

// Text height (cap height) as a share of the font's em.
inline constexpr double kCapShareOfEm = 0.75;

class FontResolver {
public:
    FontResolver();
    // The Qt family to draw text of `style` (nullptr: the default style) with.
    QString family(const dwg::TextStyle* style);
    // Metrics of `family` at Scene::kTextEm pixels.
    const QFontMetricsF& metrics(const QString& family);

    // The installed CJK family used for every font the system does not have.
    static QString cjkFamily();
    // Registers the substitutions for the common drawing font names; idempotent.
    static void registerSubstitutions();

private:
    QHash<QString, QString> familyByFont_;
    QHash<QString, std::shared_ptr<QFontMetricsF>> metrics_;
};

void emitText(SceneEmitter& out, FontResolver& fonts, const dwg::Drawing& d, const dwg::Text& t,
              const Affine3& ocsToWorld, const PrimStyle& style);
void emitMText(SceneEmitter& out, FontResolver& fonts, const dwg::Drawing& d, const dwg::MText& t,
               const Affine3& blockToWorld, const dwg::Vec3& extrusion, const PrimStyle& style);

}  // namespace dwgviewx::render
