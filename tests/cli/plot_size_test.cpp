// kavo-tool plot at its smallest and largest sizes: the frequency texts
// stay apart, and the text grows with the picture.
#include <QImage>
#include <algorithm>
#include <vector>

#include "ScopedEnv.h"
#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

bool Dark(QRgb c) { return qGray(c) < 160; }

// The frequency texts under the plot: the first band of rows with dark
// pixels below the frame's bottom edge, between the frame's sides (the R
// and θ texts stand outside them), cut into runs of columns that hold text,
// apart by half the text's height or more (more than the gaps inside one).
struct TextRow {
  int height = 0;
  std::vector<int> widths;
};

TextRow FrequencyTexts(const QImage& image) {
  TextRow row;
  const int midX = image.width() / 2;
  int frameBottom = -1;
  for (int y = image.height() - 1; y > image.height() / 2 && frameBottom < 0; --y)
    if ((image.pixel(midX, y) & 0xFFFFFF) == 0 && (image.pixel(midX + 10, y) & 0xFFFFFF) == 0) frameBottom = y;
  if (frameBottom < 0) return row;
  int left = midX, right = midX;
  while (left > 0 && (image.pixel(left - 1, frameBottom) & 0xFFFFFF) == 0) --left;
  while (right + 1 < image.width() && (image.pixel(right + 1, frameBottom) & 0xFFFFFF) == 0) ++right;
  const auto rowHasText = [&](int y) {
    for (int x = left; x <= right; ++x)
      if (Dark(image.pixel(x, y))) return true;
    return false;
  };
  int top = frameBottom + 1;
  while (top < image.height() && !rowHasText(top)) ++top;
  int bottom = top;
  while (bottom < image.height() && rowHasText(bottom)) ++bottom;
  row.height = bottom - top;
  const int apart = std::max(2, row.height / 2);
  int run = 0, blank = 0;
  for (int x = left; x <= right + 1; ++x) {
    bool text = false;
    for (int y = top; y < bottom && x <= right; ++y) text = text || Dark(image.pixel(x, y));
    if (text) {
      run += run > 0 ? blank + 1 : 1;  // a one-column gap inside a text counts
      blank = 0;
    } else if (run > 0 && ++blank >= apart) {
      row.widths.push_back(run);
      run = 0;
      blank = 0;
    }
  }
  if (run > 0) row.widths.push_back(run);
  return row;
}

TEST(PlotSize, TextsFitAndScaleWithThePicture) {
  TempDir dir;
  const ScopedEnv settingsDir("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  kavsim::DriverModel woofer;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  const QString file = WriteDriver(dir, QStringLiteral("woofer.DTA"), woofer);
  struct Case {
    const char* size;
    TextRow row;
  };
  Case cases[] = {{"200x150", {}}, {"800x600", {}}, {"4000x4000", {}}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.size);
    const QString png = dir.Path(QStringLiteral("g%1.png").arg(QString::fromLatin1(c.size)));
    const ToolRun run = Tool({"plot", file, "--size", c.size, "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    c.row = FrequencyTexts(QImage(png));
    ASSERT_GT(c.row.height, 0);
    EXPECT_GE(c.row.widths.size(), 3u);
  }
  // No text wider, for its height, than the widest label of the default
  // size (where all of them fit; small type is a little wider for its
  // height): overlapping labels run together.
  const TextRow& normal = cases[1].row;
  const int widest = *std::max_element(normal.widths.begin(), normal.widths.end());
  for (const Case& c : cases)
    for (const int w : c.row.widths)
      EXPECT_LE(w, widest * c.row.height * 13 / (normal.height * 10) + 2) << c.size << ": a text " << w << " wide";
  // Five times the default size: text at least three times as high.
  EXPECT_GE(cases[2].row.height, 3 * normal.height);
}

}  // namespace
}  // namespace kavo::test
