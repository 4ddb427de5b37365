// The graph as a user sees it: a woofer's impedance in a window with its
// labels. Saves the picture into a scratch folder and checks that the labels stay
// inside the window and that no text runs into the plot or another text.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPalette>
#include <complex>
#include <vector>

#include "TempDir.h"
#include "graph_fixture.h"
#include "platform/desktop/Look.h"

using namespace kavo;
using kavo::test::FillValues;
using kavo::test::TempDir;

namespace {

// Lumped moving-coil driver: Re + jωLe + Res / (1 + jQms(f/Fs − Fs/f)).
std::complex<double> Woofer(double f, double fs, double qms, double qes) {
  const double re = 6.2, le = 0.15e-3;
  const double res = re * qms / qes;
  const std::complex<double> j(0, 1);
  return re + j * (2 * M_PI * f * le) + res / (1.0 + j * qms * (f / fs - fs / f));
}

// Where a label's glyphs are inked, in window coordinates (left-aligned,
// vertically centred text, as QLabel lays it out). Label boxes carry some
// leading, so neighbouring boxes may touch while their texts stay apart.
QRect Ink(const QLabel* l) {
  const QFontMetrics fm(l->font());
  const QRect c = l->contentsRect();
  const int baseline = c.top() + (c.height() - fm.height()) / 2 + fm.ascent();
  return fm.tightBoundingRect(l->text()).translated(l->x() + c.left(), l->y() + baseline);
}

void Colour(QLabel* l, int32_t bgr) {
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, ColorFromBgr(uint32_t(bgr)));
  l->setPalette(p);
}

}  // namespace

TEST(GraphLook, WooferOnBand1) {
  test::GraphRig rig(500, 360);  // 640 × 480 window: area 500 × 360 at (64, 24)
  rig.window.setFont(ProgramFont(12));
  rig.window.setStyleSheet("background: #f0f0f0");
  SetDefaults(rig.colours);
  for (int i = 0; i <= 11; ++i) Colour(rig.L(i), rig.colours.PenColor_R);
  for (int i = 12; i <= 23; ++i) Colour(rig.L(i), rig.colours.PenColor_Theta);

  auto mag = [](double fs, double qes) {
    return [=](float f) { return float(std::abs(Woofer(f, fs, 3.0, qes))); };
  };
  auto phase = [](double fs, double qes) {
    return [=](float f) { return float(std::arg(Woofer(f, fs, 3.0, qes)) * 180.0 / M_PI); };
  };
  FillValues(rig.main, 1, mag(50, 0.775), phase(50, 0.775));
  FillValues(rig.refs[0], 1, mag(72, 0.9), phase(72, 0.9));  // the same driver in a box

  float rPeak = 0, thetaPeak = 0;
  for (int i = 0; i < 400; ++i) {
    rPeak = std::max(rPeak, rig.main.R[i]);
    thetaPeak = std::max(thetaPeak, std::abs(rig.main.Theta[i]));
  }
  EXPECT_NEAR(rPeak, 30.2f, 0.3f);
  rig.scale.rMax = 50.0f;  // what the window chooses for a 30 Ω peak
  rig.scale.thetaMax = thetaPeak > 60 ? 180.0f : thetaPeak > 30 ? 90.0f : 45.0f;
  rig.scale.thetaMin = -rig.scale.thetaMax;

  rig.window.show();
  rig.plotter->Clear();
  rig.plotter->DrawAll(false, true);
  const QImage shot = rig.window.grab().toImage();
  const TempDir dir;
  ASSERT_TRUE(shot.save(dir.Path(QStringLiteral("graph.png"))));

  std::vector<QLabel*> shown;
  for (QLabel* l : rig.labels)
    if (l->isVisible() && !l->text().isEmpty()) shown.push_back(l);
  EXPECT_EQ(shown.size(), 11u + 1 + 11 + 1 + 8 + 1);
  const QRect windowRect = rig.window.rect();
  for (size_t a = 0; a < shown.size(); ++a) {
    EXPECT_TRUE(windowRect.contains(shown[a]->geometry())) << shown[a]->text().toStdString();
    EXPECT_FALSE(Ink(shown[a]).intersects(rig.box->geometry())) << shown[a]->text().toStdString();
    for (size_t b = a + 1; b < shown.size(); ++b)
      EXPECT_FALSE(Ink(shown[a]).intersects(Ink(shown[b])))
          << shown[a]->text().toStdString() << " / " << shown[b]->text().toStdString();
  }
}
