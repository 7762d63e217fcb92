// The viewer control's operations and properties, driven as the main window drives it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>

#include "TestDrawings.h"
#include "dwgviewx/DialogRunner.h"
#include "dwgviewx/LayerDialog.h"
#include "dwgviewx/TDwgViewX.h"

using namespace dwgviewx;
using namespace testdraw;

namespace {

constexpr dwg::Handle kRed = 0x20;

dwg::Drawing twoLayers() {
    dwg::Drawing d = emptyDrawing();
    addLayer(d, kRed, "RED", 1);
    add(d, line(0, 0, 100, 0));
    add(d, line(0, 50, 100, 50), kRed);
    return d;
}

struct Viewer : ::testing::Test {
    void SetUp() override {
        v.resize(400, 300);
        v.show();
    }
    void TearDown() override { setDialogRunner({}); }
    TDwgViewX v;
};

// Whether this process holds a descriptor open on `path`.
bool holdsOpen(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() == target) return true;
    }
    return false;
}

}  // namespace

TEST_F(Viewer, StartsWithABlackBackgroundAndAMessageInsteadOfADrawing) {
    EXPECT_EQ(v.Background(), 0);
    EXPECT_EQ(v.scene(), nullptr);
    const QImage shot = v.grab().toImage();
    EXPECT_GT(countColour(shot.convertToFormat(QImage::Format_RGB32), Qt::white), 20);
    EXPECT_NO_THROW(v.ZoomIn());  // commands without a drawing do no harm
    EXPECT_NO_THROW(v.ZoomFit());
}

TEST_F(Viewer, ZoomFitShowsTheWholeDrawing) {
    v.showDrawing(twoLayers());
    v.ZoomIn();
    v.ZoomIn();
    v.ZoomFit();
    const QRectF shown = v.view().visibleWorld();
    EXPECT_TRUE(shown.contains(v.scene()->extents));
    EXPECT_GT(v.scene()->extents.width() * v.view().scale(), 300);  // and fills the view
}

TEST_F(Viewer, ZoomInAndOutDoubleAndHalveTheScaleAboutTheCentre) {
    v.showDrawing(twoLayers());
    const double s = v.view().scale();
    const QPointF c = v.view().centre();
    v.ZoomIn();
    EXPECT_NEAR(v.view().scale(), 2 * s, 1e-9);
    EXPECT_NEAR(v.view().centre().x(), c.x(), 1e-9);
    EXPECT_NEAR(v.view().centre().y(), c.y(), 1e-9);
    v.ZoomOut();
    v.ZoomOut();
    EXPECT_NEAR(v.view().scale(), s / 2, 1e-9);
}

TEST_F(Viewer, RotateViewTurnsClockwiseAboutTheCentre) {
    v.showDrawing(twoLayers());
    const QPointF c = v.view().centre();
    v.RotateView(90.0f);
    v.RotateView(400.0f);
    EXPECT_NEAR(v.view().rotation(), 130, 1e-9);
    EXPECT_NEAR(v.view().centre().x(), c.x(), 1e-9);
    // A world point right of the centre now shows below it.
    const QPointF p = v.view().toDevice(c + QPointF(10, 0));
    EXPECT_NEAR(p.x(), 200 + 10 * v.view().scale() * std::cos(130 * M_PI / 180), 1e-6);
    EXPECT_GT(p.y(), 150);
}

TEST_F(Viewer, BackgroundSwapsTheInkOfColourSeven) {
    v.showDrawing(twoLayers());
    const QImage black = v.renderFrame().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(black.pixel(0, 0), QColor(Qt::black).rgb());
    EXPECT_GT(countNear(black, Qt::white), 50);  // the line on layer 0
    v.setBackground(255);
    EXPECT_EQ(v.Background(), 255);
    const QImage white = v.renderFrame().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(white.pixel(0, 0), QColor(Qt::white).rgb());
    EXPECT_GT(countNear(white, Qt::black), 50);
}

TEST_F(Viewer, OpeningAnEmptyPathClosesTheDrawingAndFreesTheFile) {
    const QString source = QStringLiteral(ORVANE_SHARED_DIR "/dwg/sample_2000.dwg");
    if (!QFileInfo::exists(source)) GTEST_SKIP() << "corpus not found at " ORVANE_SHARED_DIR;
    QTemporaryDir dir;
    const QString copy = dir.filePath("drawing.dwg");
    ASSERT_TRUE(QFile::copy(source, copy));
    v.OpenDrawing(copy);
    ASSERT_NE(v.scene(), nullptr);
    EXPECT_FALSE(v.scene()->empty());
    EXPECT_EQ(v.currentPath(), copy);
    EXPECT_FALSE(holdsOpen(copy));
    v.OpenDrawing(QString());
    EXPECT_EQ(v.scene(), nullptr);
    EXPECT_TRUE(v.currentPath().isEmpty());
    EXPECT_FALSE(holdsOpen(copy));
    EXPECT_TRUE(QFile::remove(copy));
}

TEST_F(Viewer, ABrokenFileRaisesAClearErrorAndKeepsTheDrawingShown) {
    v.showDrawing(twoLayers(), "first.dwg");
    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.dwg");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("AC1015 this is not really a drawing");
    f.close();
    try {
        v.OpenDrawing(broken);
        FAIL() << "a broken file must raise an error";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("broken.dwg")) << e.what();
    }
    EXPECT_THROW(v.OpenDrawing(dir.filePath("missing.dwg")), std::runtime_error);
    ASSERT_NE(v.scene(), nullptr);
    EXPECT_EQ(v.currentPath(), QStringLiteral("first.dwg"));
    const double s = v.view().scale();
    v.ZoomIn();
    EXPECT_NEAR(v.view().scale(), 2 * s, 1e-9);
}

TEST_F(Viewer, ShowLayersAppliesTheTicksOnlyWhenTheDialogIsAccepted) {
    v.showDrawing(twoLayers());
    setDialogRunner([](QDialog& dlg) {
        auto* layers = qobject_cast<LayerDialog*>(&dlg);
        EXPECT_NE(layers, nullptr);
        if (layers) {
            EXPECT_TRUE(layers->setLayerVisible("RED", false));
        }
        return int(QDialog::Rejected);
    });
    v.ShowLayers();
    EXPECT_TRUE(v.layers()[1].on);
    setDialogRunner([](QDialog& dlg) {
        qobject_cast<LayerDialog*>(&dlg)->setLayerVisible("RED", false);
        return int(QDialog::Accepted);
    });
    v.ShowLayers();
    EXPECT_FALSE(v.layers()[1].on);
    EXPECT_EQ(countColour(v.renderFrame().convertToFormat(QImage::Format_RGB32), Qt::red), 0);
}

TEST_F(Viewer, PrintDrawingSendsTheWholeDrawingToThePrinterChosen) {
    v.showDrawing(twoLayers());
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    setDialogRunner([&](QDialog& dlg) {
        auto* print = qobject_cast<QPrintDialog*>(&dlg);
        EXPECT_NE(print, nullptr);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    v.PrintDrawing();
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(4) == "%PDF");
    EXPECT_GT(out.size(), 500);
}

TEST_F(Viewer, PrintingWithoutADrawingIsAnErrorAndCancelPrintsNothing) {
    EXPECT_THROW(v.PrintDrawing(), std::runtime_error);
    v.showDrawing(twoLayers());
    bool asked = false;
    setDialogRunner([&](QDialog&) {
        asked = true;
        return int(QDialog::Rejected);
    });
    EXPECT_NO_THROW(v.PrintDrawing());
    EXPECT_TRUE(asked);
}

TEST_F(Viewer, KeepsItsPropertiesAndShowsItsOwnBarsOnlyWhenAsked) {
    v.setFontPath("C:\\OrvaneCAD\\DWGViewX_32bit\\Fonts");
    EXPECT_EQ(v.FontPath(), QStringLiteral("C:\\OrvaneCAD\\DWGViewX_32bit\\Fonts"));
    v.setShowToobar(false);
    v.setEnableContextMenu(false);
    v.setShowLayoutBar(false);
    EXPECT_FALSE(v.ShowToobar());
    EXPECT_FALSE(v.EnableContextMenu());
    EXPECT_FALSE(v.ShowLayoutBar());
    EXPECT_EQ(v.findChild<QToolBar*>(), nullptr);
    v.setShowToobar(true);
    v.setShowLayoutBar(true);
    ASSERT_NE(v.findChild<QToolBar*>(), nullptr);
    EXPECT_TRUE(v.findChild<QToolBar*>()->isVisible());
    ASSERT_NE(v.findChild<QTabBar*>(), nullptr);
    v.setShowToobar(false);
    EXPECT_FALSE(v.findChild<QToolBar*>()->isVisible());
}

TEST_F(Viewer, ExtremeZoomsStayUsable) {
    dwg::Drawing d = twoLayers();
    dwg::Circle c;
    c.center = {50, 25, 0};
    c.radius = 20;
    add(d, c);
    v.showDrawing(d);
    for (int i = 0; i < 60; ++i) v.ZoomIn();
    EXPECT_LE(v.view().scale(), render::ViewTransform::kMaxScale);
    EXPECT_FALSE(v.renderFrame().isNull());
    for (int i = 0; i < 150; ++i) v.ZoomOut();
    EXPECT_GE(v.view().scale(), render::ViewTransform::kMinScale);
    EXPECT_FALSE(v.renderFrame().isNull());
    v.ZoomFit();
    EXPECT_TRUE(v.view().visibleWorld().contains(v.scene()->extents));
}
