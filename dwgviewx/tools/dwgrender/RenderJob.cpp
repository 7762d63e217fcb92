#include "RenderJob.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>

#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/render/Renderer.h"
#include "dwgviewx/render/SceneBuilder.h"

namespace dwgrender {
namespace {

using namespace dwgviewx::render;

void paint(QPaintDevice& dev, QSize size, const Scene& scene, const Options& o) {
    QPainter p(&dev);
    const QColor bg = o.background == 0 ? QColor(Qt::black) : QColor(Qt::white);
    p.fillRect(QRect(QPoint(0, 0), size), bg);
    ViewTransform view(size, QPointF(), 1, 0);
    if (!o.window.isEmpty())
        view.fit(o.window, 0.0);
    else if (!scene.extents.isNull())
        view.fit(scene.extents, 0.03);
    RenderOptions opt;
    opt.background = bg;
    renderScene(p, scene, view, opt);
}

}  // namespace

std::optional<Options> parseArguments(const QStringList& args, QString& error) {
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "-o" || a == "--output") && hasValue) {
            o.output = args[++i];
        } else if (a == "--size" && hasValue) {
            const QStringList wh = args[++i].split(u'x');
            bool okW = false, okH = false;
            const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
            const int h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
            if (!okW || !okH || w < 16 || h < 16 || w > 16384 || h > 16384) {
                error = "--size wants WxH, each 16..16384";
                return std::nullopt;
            }
            o.size = QSize(w, h);
        } else if (a == "--background" && hasValue) {
            const QString v = args[++i];
            if (v != "0" && v != "255") {
                error = "--background wants 0 (black) or 255 (white)";
                return std::nullopt;
            }
            o.background = v.toInt();
        } else if (a == "--window" && hasValue) {
            const QStringList v = args[++i].split(u',');
            bool ok = v.size() == 4;
            double c[4] = {0, 0, 0, 0};
            for (int k = 0; ok && k < 4; ++k) c[k] = v[k].toDouble(&ok);
            if (!ok || !(c[2] > c[0]) || !(c[3] > c[1])) {
                error = "--window wants X0,Y0,X1,Y1 with X1 > X0 and Y1 > Y0";
                return std::nullopt;
            }
            o.window = QRectF(QPointF(c[0], c[1]), QPointF(c[2], c[3]));
        } else if (a == "--verbose" || a == "-v") {
            o.verbose = true;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            error = "unknown or incomplete option " + a;
            return std::nullopt;
        } else if (o.input.isEmpty()) {
            o.input = a;
        } else {
            error = "more than one input file";
            return std::nullopt;
        }
    }
    if (o.input.isEmpty() || o.output.isEmpty()) {
        error =
            "usage: dwgrender FILE -o OUT.{png,svg,pdf} [--size WxH] [--background 0|255] "
            "[--verbose]";
        return std::nullopt;
    }
    const QString ext = QFileInfo(o.output).suffix().toLower();
    if (ext != "png" && ext != "svg" && ext != "pdf") {
        error = "the output must end in .png, .svg or .pdf";
        return std::nullopt;
    }
    return o;
}

int run(const Options& o, QString& error) {
    auto result = dwg::readFile(QFile::encodeName(o.input).toStdString());
    if (!result.ok()) {
        error = o.input + ": " + QString::fromStdString(result.error());
        return 2;
    }
    const Scene scene = buildScene(result.value());
    for (const std::string& m : result.value().report.messages)
        std::fprintf(stderr, "dwgrender: note: %s\n", m.c_str());
    if (o.verbose) {
        const QRectF e = scene.extents;
        std::fprintf(
            stderr,
            "dwgrender: %zu primitives (%zu texts, %zu fills), %zu layers, %zu dashed line "
            "types, %d not drawn; "
            "extents %g,%g .. %g,%g\n",
            scene.prims.size(), scene.texts.size(), scene.fills.size(), scene.layers.size(),
            scene.dashes.size(), scene.skippedEntities, e.left(), e.top(), e.right(), e.bottom());
    }
    const QString ext = QFileInfo(o.output).suffix().toLower();
    if (ext == "png") {
        QImage img(o.size, QImage::Format_ARGB32_Premultiplied);
        paint(img, o.size, scene, o);
        if (!img.save(o.output, "PNG")) {
            error = "cannot write " + o.output;
            return 3;
        }
    } else if (ext == "svg") {
        QSvgGenerator svg;
        svg.setFileName(o.output);
        svg.setSize(o.size);
        svg.setViewBox(QRect(QPoint(0, 0), o.size));
        svg.setTitle(QFileInfo(o.input).fileName());
        paint(svg, o.size, scene, o);
    } else {
        QPdfWriter pdf(o.output);
        pdf.setResolution(150);
        pdf.setPageSize(QPageSize(QSizeF(o.size) / 150.0 * 25.4, QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        paint(pdf, QSize(pdf.width(), pdf.height()), scene, o);
    }
    if (!QFileInfo(o.output).exists() || QFileInfo(o.output).size() == 0) {
        error = "cannot write " + o.output;
        return 3;
    }
    return 0;
}

}  // namespace dwgrender
