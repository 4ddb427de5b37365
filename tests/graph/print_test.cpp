// The printed page: its geometry from the printer's resolution and printable
// size, and the page itself, printed to PDF at 600 dpi and turned back into
// pixels where the frame, curves, scale texts and information lines belong.
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "PdfRender.h"
#include "TempDir.h"
#include "data/Stringutil.h"
#include "graph/Kavo_print.h"
#include "graph_fixture.h"

namespace kavo::test {
namespace {

auto Flat(float v) {
  return [v](float) { return v; };
}

struct Expected {
  int32_t dpiX, dpiY, widthMm, heightMm;
  bool landscape;
  int32_t marginLeft, marginTop, graphWidth, graphHeight, graphBottom;
  int32_t plotLeft, plotTop, plotWidth, plotHeight, plotRight, plotBottom;
};

TEST(PrintLayout, GeometryAsLaidDown) {
  GraphRig rig;
  QPrinter printer;
  SettingsRecord info;
  TKAV_Print job(*rig.plotter, printer, info, rig.labels);
  const Expected cases[] = {
      // 200 mm printable: a 190 x 142.5 mm graph block, a plot 30 mm narrower and 10 mm lower.
      {600, 600, 200, 287, false, 236, 354, 4488, 3366, 3720, 590, 472, 3780, 3130, 4370, 3602},
      // Landscape takes the block from the page's height less 20 mm.
      {600, 600, 287, 200, true, 236, 354, 4251, 3188, 3542, 590, 472, 3543, 2952, 4133, 3424},
      // Horizontal figures from dpiX, vertical ones from dpiY.
      {300, 600, 200, 287, false, 118, 354, 2244, 1683, 2037, 295, 472, 1890, 1447, 2185, 1919},
  };
  for (const Expected& e : cases) {
    job.dpiX = e.dpiX;
    job.dpiY = e.dpiY;
    job.pageWidthMm = e.widthMm;
    job.pageHeightMm = e.heightMm;
    job.Layout(e.landscape);
    const int32_t got[] = {job.marginLeft, job.marginTop, job.graphWidth, job.graphHeight, job.graphBottom,
                           job.plotLeft,   job.plotTop,   job.plotWidth,  job.plotHeight,  job.plotRight,
                           job.plotBottom};
    const int32_t want[] = {e.marginLeft, e.marginTop, e.graphWidth, e.graphHeight, e.graphBottom, e.plotLeft,
                            e.plotTop,    e.plotWidth,  e.plotHeight, e.plotRight,   e.plotBottom};
    for (size_t i = 0; i < std::size(got); ++i)
      EXPECT_EQ(got[i], want[i]) << "case dpiX " << e.dpiX << " landscape " << e.landscape << " value " << i;
  }
  // Truncation toward zero, also where the exact value is whole.
  job.dpiX = 600;
  EXPECT_EQ(job.MmToPixelsX(25), 590);   // 590.55
  EXPECT_EQ(job.MmToPixelsX(254), 6000); // 10 inches
  job.dpiY = 96;
  EXPECT_EQ(job.MmToPixelsY(1), 3);      // 3.78
}

// A flat measurement printed on a whole A4 page (the printable area is the
// page itself, so printer pixels and rendered pixels coincide).
class PrintedPage : public ::testing::Test {
 protected:
  static constexpr float R = 11.0f;
  static constexpr float Theta = 20.0f;

  void SetUp() override {
    FillValues(rig.main, 1, Flat(R), Flat(Theta));
    FillValues(rig.refs[1], 1, Flat(6.0f), Flat(-40.0f));
    rig.scale.rMax = 25.0f;
    rig.plotter->Resize();
    rig.plotter->DrawScales(false);
  }

  // Prints to `name` and returns the job's figures.
  // Without margins the printable area is the whole page.
  std::unique_ptr<TKAV_Print> PrintTo(const QString& name, bool rOnly, bool wide, bool withRefs,
                                      bool* ok = nullptr, double marginMm = -1) {
    pdf = dir.Path(name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (marginMm < 0) printer.setFullPage(true);
    else printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    auto job = std::make_unique<TKAV_Print>(*rig.plotter, printer, info, rig.labels);
    job->screenDpi = 96.0f;
    const bool printed = job->Print(rOnly, wide, withRefs);
    if (ok) *ok = printed;
    else EXPECT_TRUE(printed);
    return job;
  }

  static bool Dark(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
  }
  static int DarkIn(const QImage& img, const QRect& area) {
    int n = 0;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += Dark(img, x, y);
    return n;
  }

  GraphRig rig;
  SettingsRecord info;
  TempDir dir;
  QString pdf;
};

TEST_F(PrintedPage, FramePlotScalesTitleAndInformationLines) {
  info.pstr[0] = Utf8ToCp932("測定者: 山田");
  info.pstr[1].clear();  // keeps its place empty
  info.pstr[2] = Utf8ToCp932("16cm ウーファー");
  const auto job = PrintTo(QStringLiteral("page.pdf"), false, false, false);

  EXPECT_EQ(job->dpiY, 600);
  EXPECT_EQ(job->pageWidthMm, 210);
  EXPECT_EQ(job->pageHeightMm, 297);
  EXPECT_FLOAT_EQ(job->factor, 6.25f);
  EXPECT_EQ(job->fontHeight, 56);
  EXPECT_EQ(job->graphWidth, 4724);  // 200 mm
  EXPECT_EQ(job->plotLeft, 590);
  EXPECT_EQ(job->plotTop, 472);
  EXPECT_EQ(job->plotWidth, 4016);
  EXPECT_EQ(job->plotHeight, 3307);
  EXPECT_EQ(job->graphBottom, 3897);

  const int bottom = job->graphBottom;
  const QImage page = RenderPdfRegion(pdf, QRect(0, 0, 4961, bottom + 700));
  ASSERT_FALSE(page.isNull()) << "pdftoppm could not render " << pdf.toStdString();
  const int left = job->plotLeft, top = job->plotTop, right = job->plotRight, plotBottom = job->plotBottom;
  const int midX = left + job->plotWidth * 37 / 100;  // clear of the grid lines
  const int midY = top + job->plotHeight * 35 / 100;

  // The frame, one pixel just outside the picture.
  EXPECT_EQ(Bgr(page, midX, top - 1), 0x000000);
  EXPECT_EQ(Bgr(page, midX, plotBottom), 0x000000);
  EXPECT_EQ(Bgr(page, left - 1, midY), 0x000000);
  EXPECT_EQ(Bgr(page, right, midY), 0x000000);
  EXPECT_EQ(Bgr(page, midX, top - 2), 0xFFFFFF);
  EXPECT_EQ(Bgr(page, left - 2, midY), 0xFFFFFF);

  // The picture copied unscaled: each curve a 5-pixel line on its own row.
  // (The rasteriser maps printer pixels to 0.99999 of a pixel, so a line may
  // lose one row; a stretched copy would be off by tens of rows.)
  const int rRow = top + kavo::RRow(R, 25.0f, job->plotHeight);
  const int thetaRow = top + kavo::ThetaRow(Theta, -180.0f, 180.0f, job->plotHeight);
  auto lineAt = [&](int row, int32_t colour, int width) {
    int first = -1, n = 0;
    for (int y = row - 20; y <= row + 20; ++y)
      if (Bgr(page, midX, y) == colour) {
        if (first < 0) first = y;
        ++n;
      }
    EXPECT_NEAR(n, width, 1) << "row " << row;
    EXPECT_NEAR(first + n / 2.0, row, 2.0) << "row " << row;
  };
  lineAt(rRow, rig.colours.PenColor_R, 5);
  lineAt(thetaRow, rig.colours.PenColor_Theta, 5);

  // R texts left of the plot, theta texts right, frequencies below.
  EXPECT_GT(DarkIn(page, QRect(0, top, left - 20, job->plotHeight)), 500);
  EXPECT_GT(DarkIn(page, QRect(right + 20, top, 4961 - right - 20, job->plotHeight)), 500);
  EXPECT_GT(DarkIn(page, QRect(left, plotBottom + 10, job->plotWidth, 150)), 500);

  // Title 125 pixels below the block, then the information lines every 125
  // pixels, starting at the plot's left edge; the empty second line stays empty.
  const int fontHeight = job->fontHeight;
  auto strip = [&](int k) { return QRect(0, bottom + 125 * (k + 1), 4961, fontHeight + 10); };
  EXPECT_GT(DarkIn(page, strip(0)), 1000);  // title
  EXPECT_GT(DarkIn(page, strip(1)), 500);
  EXPECT_EQ(DarkIn(page, strip(2)), 0);
  EXPECT_GT(DarkIn(page, strip(3)), 500);
  EXPECT_EQ(DarkIn(page, QRect(0, bottom + 125, left, 500)), 0);
  EXPECT_GT(DarkIn(page, QRect(left, bottom + 125, 120, fontHeight + 10)), 0);
  // Nothing between the frequency texts and the title but "[Hz]" at the right.
  EXPECT_EQ(DarkIn(page, QRect(0, bottom, right - 400, 120)), 0);
}

// Whatever the information dialog takes (243 bytes) is on the page whole
// (pdftotext keeps only what lies on the page).
TEST_F(PrintedPage, LongestInformationLinesArePrintedWhole) {
  const QString lines[3] = {QString("Word ").repeated(49).left(243), QString(121, QChar(0x6E2C)), QString(243, '8')};
  for (int k = 0; k < 3; ++k) info.pstr[k] = Utf8ToCp932(lines[k].toStdString());
  PrintTo(QStringLiteral("long.pdf"), false, false, false);
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString onPage = QString::fromUtf8(text.readAllStandardOutput()).remove(QRegularExpression("\\s"));
  for (const QString& line : lines) EXPECT_TRUE(onPage.contains(QString(line).remove(' '))) << line.left(9).toStdString();
}

TEST_F(PrintedPage, ResistanceOnlyAndPenWidths) {
  // R only, thick lines, with references: no theta curve or text anywhere,
  // the main curve stays 5 wide beside the 2-pixel reference.
  auto job = PrintTo(QStringLiteral("ronly.pdf"), true, true, true);
  const int left = job->plotLeft, top = job->plotTop, right = job->plotRight;
  QImage page = RenderPdfRegion(pdf, QRect(0, 0, 4961, job->plotBottom + 10));
  ASSERT_FALSE(page.isNull());
  const int midX = left + job->plotWidth * 37 / 100;
  EXPECT_EQ(CountColour(page, rig.colours.PenColor_Theta), 0);
  EXPECT_EQ(CountColour(page, rig.colours.PenColor_Theta_Ref[1]), 0);
  EXPECT_EQ(DarkIn(page, QRect(right + 20, top, 4961 - right - 20, job->plotHeight)), 0);
  EXPECT_NEAR(VerticalRun(page, midX, rig.colours.PenColor_R), 5, 1);
  EXPECT_NEAR(VerticalRun(page, midX, rig.colours.PenColor_R_Ref[1]), 2, 1);

  // Without references the thick option gives 8 pixels.
  job = PrintTo(QStringLiteral("wide.pdf"), false, true, false);
  page = RenderPdfRegion(pdf, QRect(midX - 2, 0, 5, job->plotBottom + 10));
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(VerticalRun(page, 2, rig.colours.PenColor_R), 8, 1);
  EXPECT_NEAR(VerticalRun(page, 2, rig.colours.PenColor_Theta), 8, 1);
  EXPECT_EQ(CountColour(page, rig.colours.PenColor_R_Ref[1]), 0);
}

TEST_F(PrintedPage, FailedJobIsReported) {
  ASSERT_TRUE(QFile(dir.Path(QStringLiteral("plain"))).open(QIODevice::WriteOnly));
  bool ok = true;
  // A PDF inside a plain file: no user, root included, can create it.
  const auto job = PrintTo(QStringLiteral("plain/page.pdf"), false, false, false, &ok, 5.0);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(QFile::exists(pdf));
  // The page was laid out from the printer first: A4 less 5 mm margins is
  // 200 mm printable, a 190 x 142.5 mm block.
  EXPECT_EQ(job->pageWidthMm, 200);
  EXPECT_EQ(job->pageHeightMm, 287);
  EXPECT_EQ(job->graphWidth, 4488);
  EXPECT_EQ(job->graphHeight, 3366);
  EXPECT_EQ(job->plotWidth, 3780);
  EXPECT_EQ(job->plotHeight, 3130);
}

}  // namespace
}  // namespace kavo::test
