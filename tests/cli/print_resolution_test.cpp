// kavo-tool print at different resolutions: the grid keeps its width on
// paper, within one printer pixel, instead of its width in printer pixels.
#include <QProcess>
#include <algorithm>
#include <vector>

#include "PdfRender.h"
#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

// Thickness, in pixels of a 300 dpi rendering, of the horizontal grid lines
// that cross column x: the median of the grey runs (curves are coloured,
// the frame black, a vertical grid line one long run and left out).
int GridThickness(const QImage& strip, int x) {
  std::vector<int> runs;
  int run = 0;
  for (int y = 0; y <= strip.height(); ++y) {
    const QRgb c = y < strip.height() ? strip.pixel(x, y) : qRgb(255, 255, 255);
    const bool grey = qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 0x60 && qRed(c) <= 0xD0;
    if (grey) {
      ++run;
    } else if (run > 0) {
      if (run < 40) runs.push_back(run);
      run = 0;
    }
  }
  if (runs.empty()) return 0;
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

TEST(PrintResolution, GridWidthFollowsTheResolution) {
  if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-v")}) < 0) GTEST_SKIP() << "no pdftoppm";
  TempDir dir;
  kavsim::DriverModel woofer;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  const QString file = WriteDriver(dir, QStringLiteral("woofer.DTA"), woofer);
  // The level grid is 4 pixels at 600 dpi: 2 pixels at 300.
  for (const int dpi : {72, 150, 300, 600}) {
    SCOPED_TRACE(dpi);
    const QString page = dir.Path(QStringLiteral("page%1.pdf").arg(dpi));
    const ToolRun run = Tool({"print", file, "--dpi", QString::number(dpi), "-o", page});
    ASSERT_EQ(run.status, 0) << run.err;
    // A strip down the page at 40 % of its width, through the plot.
    const QImage strip = RenderPdfRegion(page, QRect(992, 0, 1, 3508), 300);
    ASSERT_FALSE(strip.isNull());
    const int t = GridThickness(strip, 0);
    EXPECT_GE(t, 1);
    EXPECT_LE(t, 2 + (300 + dpi - 1) / dpi);
  }
}

}  // namespace
}  // namespace kavo::test
