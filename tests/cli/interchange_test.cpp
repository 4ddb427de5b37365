// kavo-tool export, import and plot: the tables other programs read, the
// table reader against malformed input, the window's text export and its
// reference command, and the picture.
#include <QAction>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "UnitProtocol.h"
#include "cli/KavoTool.h"
#include "data/Interchange.h"
#include "cli_fixture.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

// What the simulated unit sends for a woofer on `band`, as a .DTA file.
QString WriteSweep(const TempDir& dir, const char* name, int band) {
  kavsim::UnitConfig config;
  config.model = kavsim::DriverModel{5.6, 0.45e-3, 42.0, 4.2, 0.42};
  kavsim::UnitProtocol unit(config);
  bool hangUp = false;
  const std::string stream = unit.SweepStream(band, hangUp);
  MeasureData data;
  data.band = band;
  data.dateTime = "2026/12/08 9:30:00";
  for (int k = 0; k < BandPointCount(band); ++k)
    for (int i = 0; i < RecordLength; ++i)
      data.points[BandFirstSlot(band) + k].c[i] = stream[size_t(k) * 19 + size_t(i)];
  SettingsRecord settings;
  const QString path = dir.Path(QString::fromUtf8(name));
  EXPECT_TRUE(KAVO_File().WriteDataFile(path, "0815", &settings, &data));
  return path;
}

struct Loaded {
  MeasureData data;
  PointValues raw, ave;
};
std::unique_ptr<Loaded> Load(const QString& file) {
  auto l = std::make_unique<Loaded>();
  EXPECT_TRUE(KAVO_File().ReadDataFile(file, nullptr, nullptr, &l->data)) << file.toStdString();
  EXPECT_TRUE(KAVO_File().ConvertData(&l->data, &l->raw, &l->ave)) << file.toStdString();
  return l;
}

TEST(Interchange, EncoderRoundTripsThroughTheProgramsDecoder) {
  const struct {
    double r, theta, f;
  } cases[] = {{0.0, 0.0, 20.0}, {5.604, -89.96, 251.3}, {655.35, 180.0, 20000.0}, {12.345, 3276.7, 1234.5},
               {0.015, -3276.8, 19.9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.f);
    PointText record;
    ASSERT_TRUE(EncodeRecord(c.r, c.theta, c.f, record));
    float r = 0, t = 0, f = 0;
    ASSERT_TRUE(DecodeRecord(record, r, t, f));
    EXPECT_NEAR(r, c.r, 0.005 + 1e-4);
    EXPECT_NEAR(t, c.theta, 0.05 + 1e-3);
    EXPECT_NEAR(f, c.f, c.f * 1e-5);
  }
  PointText record;
  for (const auto& bad : {std::array<double, 3>{-0.1, 0, 100}, {655.4, 0, 100}, {1, 3277, 100}, {1, 0, 0},
                          {1, 0, NAN}})
    EXPECT_FALSE(EncodeRecord(bad[0], bad[1], bad[2], record)) << bad[0] << ' ' << bad[1] << ' ' << bad[2];
}

TEST(Interchange, ZmaAndCsvCarryTheNumbersWithAPoint) {
  MeasureData data;
  data.band = 4;
  data.dateTime = "2026/12/08 9:30:00";
  ASSERT_TRUE(EncodeRecord(7.245, -12.35, 2000.0, data.points[263]));
  for (int k = 264; k <= 399; ++k) ASSERT_TRUE(EncodeRecord(7.995, 44.95, GridFrequency(k), data.points[k]));
  PointValues raw, ave;
  ASSERT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
  const QStringList zma = QString::fromStdString(ZmaText(raw, data, QStringLiteral("/x/spk.DTA"), "0815"))
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(zma.size(), 5 + 137);
  EXPECT_EQ(zma[1], QStringLiteral("* source: spk.DTA"));
  EXPECT_EQ(zma[2], QStringLiteral("* serial: 0815"));
  EXPECT_EQ(zma[3], QStringLiteral("* date: 2026/12/08 9:30:00"));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(zma[i].startsWith(QLatin1Char('*'))) << i;
  // Values on the record's steps come back as they went in.
  EXPECT_EQ(zma[5], QStringLiteral("2000.0000 7.2450 -12.350"));
  EXPECT_EQ(zma[6].section(QLatin1Char(' '), 1), QStringLiteral("7.9950 44.950"));

  const QStringList csv =
      QString::fromStdString(CsvText(raw, data)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(csv.size(), 1 + 137);
  EXPECT_EQ(csv[0], QStringLiteral("frequency_hz,magnitude_ohm,phase_deg"));
  EXPECT_EQ(csv[1], QStringLiteral("2000.0000,7.2450,-12.350"));
  EXPECT_EQ(csv.last().section(QLatin1Char(','), 0, 0).toDouble(), double(raw.Freq[399]));
}

TEST(Interchange, ExportedZmaImportsBackToTheSameRecords) {
  TempDir dir;
  for (int band : {1, 3}) {
    SCOPED_TRACE(band);
    const QString dta = WriteSweep(dir, "sweep.DTA", band);
    const QString zma = dir.Path(QStringLiteral("sweep.zma"));
    const QString back = dir.Path(QStringLiteral("back.DTA"));
    ToolRun run = Tool({"export", dta, "--raw"});  // zma beside the file by default
    ASSERT_EQ(run.status, 0) << run.err;
    const ToolRun piped = Tool({"export", dta, "--raw", "-o", "-"});
    EXPECT_EQ(QByteArray::fromStdString(piped.out), ReadAll(zma));
    run = Tool({"import", zma, "-o", back});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto a = Load(dta);
    const auto b = Load(back);
    EXPECT_EQ(b->data.band, band);
    for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
      ASSERT_NEAR(b->raw.R[k], a->raw.R[k], 0.0101) << k;
      ASSERT_NEAR(b->raw.Theta[k], a->raw.Theta[k], 0.101) << k;
      ASSERT_NEAR(b->raw.Freq[k], a->raw.Freq[k], a->raw.Freq[k] * 1e-4) << k;
    }
  }
}

TEST(Interchange, TablesAreImportedOrRefusedByLine) {
  // R = 5 + log10(f) is linear on a log axis: interpolation must hit it.
  auto rows = [](const char* sep, bool phase, bool descending) {
    QByteArray text;
    const double fs[] = {10, 20, 50, 100, 250, 1000, 2000, 5000, 20000, 25000};
    for (int i = 0; i < 10; ++i) {
      const double f = fs[descending ? 9 - i : i];
      text += QByteArray::number(f) + sep + QByteArray::number(5 + std::log10(f), 'f', 6);
      if (phase) text += QByteArray(sep) + "-30";
      text += "\r\n";
    }
    return text;
  };
  // The same text as UTF-16 with its byte-order mark, as Windows programs save it.
  auto utf16 = [](const QByteArray& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) bytes += bigEndian ? QByteArray(1, '\0') + c : QByteArray(1, c) + '\0';
    return bytes;
  };
  const struct {
    const char* name;
    QByteArray text;
    QStringList extra;
    int band;         // expected band, 0 when refused
    const char* why;  // part of the refusal
    double theta;
  } cases[] = {
      {"comments.zma", "* from a simulator\n# another\n; third\n\n" + rows(" ", true, false), {}, 1, "", -30},
      {"commas.txt", rows(", ", true, false), {}, 1, "", -30},
      {"two.txt", rows("\t", false, false), {}, 1, "", 0},
      {"decimal-comma.csv", QByteArray(rows(";", true, false)).replace('.', ','), {}, 1, "", -30},
      {"descending.zma", rows("  ", true, true), {}, 1, "", -30},
      {"duplicates.zma", "100 6 -30\n" + rows(" ", true, false) + "100 8 -30\n100 7 -30\n", {}, 1, "", -30},
      {"heading.txt", "Freq\tZ\tPhase\n" + rows("\t", true, false), {}, 1, "", -30},
      {"utf16le.txt", utf16("Freq\tZ\tPhase\r\n" + rows("\t", true, false), false), {}, 1, "", -30},
      {"utf16be.txt", utf16(rows(" ", true, false), true), {}, 1, "", -30},
      {"cr-only.txt", QByteArray(rows("\t", true, false)).replace("\r\n", "\r"), {}, 1, "", -30},
      // A band other than the full one is said, with the reason.
      {"low.zma", "20 5\n300 6\n", {}, 2, "band 1 needs 20–20000 Hz", 0},
      {"low-asked-high.zma", "20 5\n300 6\n", {"--band", "4"}, 0, "帯域4", 0},
      {"high.zma", "100 5\n20000 6\n", {}, 3, "band 2 needs 20–250 Hz", 0},
      {"from-20.5.zma", "20.5 5\n20000 6\n", {}, 3, "band 1 needs 20–20000 Hz", 0},
      {"short.zma", "100 5\n20000 6\n", {"--band", "1"}, 0, "100～20000 Hz", 0},
      {"narrow.zma", "300 5\n1000 6\n", {}, 0, "帯域1 (20～20000 Hz)", 0},
      {"word.zma", "20 5 0\n30 5 0\n40 abc 0\n", {}, 0, "3行目", 0},
      {"late-heading.zma", "20 5 0\nFreq Z Phase\n", {}, 0, "2行目", 0},
      {"four.zma", "20 5 0 1\n", {}, 0, "1行目", 0},
      {"one.zma", "20\n", {}, 0, "1行目", 0},
      {"zero-freq.zma", "0 5 0\n", {}, 0, "1行目", 0},
      {"huge-r.zma", "20 5 0\n30 700 0\n", {}, 0, "2行目", 0},
      {"nan.zma", "20 nan 0\n", {}, 0, "1行目", 0},
      {"empty.zma", "", {}, 0, "データの行がありません", 0},
      {"comments-only.zma", "* nothing\n\n", {}, 0, "データの行がありません", 0},
      {"one-freq.zma", "100 5\n100 6\n", {}, 0, "2点以上", 0},
  };
  TempDir dir;
  const QString out = dir.Path(QStringLiteral("out.DTA"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString table = dir.Path(QString::fromUtf8(c.name));
    ASSERT_TRUE(WriteAll(table, c.text));
    ASSERT_TRUE(WriteAll(out, "older"));
    const ToolRun run = Tool(QStringList{"import", table, "-o", out} + c.extra);
    if (c.band == 0) {
      EXPECT_NE(run.status, 0);
      EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
      EXPECT_EQ(ReadAll(out), "older");  // the old file stays, nothing partial
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    if (*c.why) EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
    else EXPECT_EQ(run.err, "");
    const auto l = Load(out);
    EXPECT_EQ(l->data.band, c.band);
    for (int k = BandFirstSlot(c.band); k <= BandLastSlot(c.band); ++k) {
      const double f = GridFrequency(k);
      // Band 1 tables lie on R = 5 + log10(f) (the duplicates average onto it).
      if (c.band == 1) ASSERT_NEAR(l->raw.R[k], 5 + std::log10(f), 0.0101) << k;
      else ASSERT_TRUE(l->raw.R[k] >= 5.0f && l->raw.R[k] <= 6.01f) << k;
      ASSERT_NEAR(l->raw.Theta[k], c.theta, 0.051) << k;
      ASSERT_NEAR(l->raw.Freq[k], f, f * 1e-4) << k;
    }
  }
}

class InterchangeWindow : public MainWindowTest {};

TEST_F(InterchangeWindow, TxtIsTheWindowsExportAndTablesLoadAsReferences) {
  Start();
  const QString dta = WriteSweep(dir, "spk.DTA", 1);
  modal->fileAnswers = {dta};
  main->MenuFile_OpenClick();
  ASSERT_EQ(TFormMainProbe(main).mainData().valid, 1);
  for (bool raw : {false, true}) {
    SCOPED_TRACE(raw);
    if (raw) main->MenuGraph_AveClick();
    const QString window = dir.Path(raw ? QStringLiteral("w-raw.txt") : QStringLiteral("w.txt"));
    const QString tool = dir.Path(raw ? QStringLiteral("t-raw.txt") : QStringLiteral("t.txt"));
    modal->fileAnswers = {window};
    main->MenuFile_ExportClick();
    QStringList args{"export", dta, "--format", "txt", "-o", tool};
    if (raw) args << QStringLiteral("--raw");
    const ToolRun run = Tool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(ReadAll(window).isEmpty());
    EXPECT_EQ(ReadAll(tool), ReadAll(window));
  }
  EXPECT_NE(ReadAll(dir.Path(QStringLiteral("t.txt"))), ReadAll(dir.Path(QStringLiteral("t-raw.txt"))));

  // The window's own text table and a ZMA become reference curves; a broken
  // table is refused with its line and leaves its place empty.
  ASSERT_EQ(Tool({"export", dta, "--raw", "-o", dir.Path(QStringLiteral("spk.zma"))}).status, 0);
  const QString broken = dir.Path(QStringLiteral("broken.zma"));
  ASSERT_TRUE(WriteAll(broken, "20 5\n30 x\n"));
  modal->calls.clear();
  modal->fileListAnswers = {{dir.Path(QStringLiteral("t-raw.txt")), dir.Path(QStringLiteral("spk.zma")), broken}};
  main->MenuRef_OpenClick();
  EXPECT_EQ(TFormMainProbe(main).refCount(), 3);
  for (int p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    ASSERT_EQ(TFormMainProbe(main).refData()[p].valid, 1);
    // The text table holds 0.01 Ω and 0.1°, the ZMA the records' values.
    const double steps = p == 0 ? 2 : 1;
    for (int k = 0; k < 400; ++k) {
      ASSERT_NEAR(TFormMainProbe(main).refRawValues()[p].R[k], TFormMainProbe(main).rawValues().R[k], 0.0101 * steps) << k;
      ASSERT_NEAR(TFormMainProbe(main).refRawValues()[p].Theta[k], TFormMainProbe(main).rawValues().Theta[k], 0.101 * steps) << k;
    }
  }
  EXPECT_EQ(TFormMainProbe(main).refData()[2].valid, 0);
  ASSERT_EQ(modal->calls.size(), 2u);  // the file dialog and one message
  EXPECT_TRUE(modal->calls[1].text.contains(QStringLiteral("2行目"))) << modal->calls[1].text.toStdString();
}

// Counts pixels of one colour (0x00BBGGRR as the settings keep them).
int CountColour(const QImage& image, int32_t bgr) {
  const QRgb want = qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
  return n;
}

TEST(Interchange, PlotDrawsFrameCurvesAndSettingsColours) {
  TempDir dir;
  const ScopedEnv settingsDir("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  const QString dta = WriteSweep(dir, "spk.DTA", 1);
  const QString png = dir.Path(QStringLiteral("g.png"));
  ToolRun run = Tool({"plot", dta, "--size", "640x480", "-o", png});
  ASSERT_EQ(run.status, 0) << run.err;
  QImage image(png);
  ASSERT_EQ(image.size(), QSize(640, 480));
  // The frame: a black column left of the middle and a black row above the
  // bottom texts, each running most of the way across the picture.
  const int midY = 240, midX = 320;
  int frameLeft = -1, frameBottom = -1;
  for (int x = 0; x < midX && frameLeft < 0; ++x)
    if ((image.pixel(x, midY) & 0xFFFFFF) == 0) frameLeft = x;
  for (int y = 479; y > midY && frameBottom < 0; --y)
    if ((image.pixel(midX, y) & 0xFFFFFF) == 0 && (image.pixel(midX + 100, y) & 0xFFFFFF) == 0) frameBottom = y;
  ASSERT_GT(frameLeft, 10);   // room for the R texts
  ASSERT_LT(frameBottom, 470);  // room for the frequency texts
  int black = 0;
  for (int y = 40; y < frameBottom - 10; ++y) black += (image.pixel(frameLeft, y) & 0xFFFFFF) == 0;
  EXPECT_EQ(black, frameBottom - 50);
  // Scale texts left of the frame: dark pixels there.
  int text = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < frameLeft - 2; ++x) text += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(text, 50);
  // Default pens: R blue, θ red, many pixels each inside the frame.
  EXPECT_GT(CountColour(image, DefaultPenR), 300);
  EXPECT_GT(CountColour(image, DefaultPenTheta), 300);

  // With a settings file its colours are used; --r-only drops θ.
  SettingsRecord colours;
  ViewSettings view;
  colours.PenColor_R = 0x00AA00;
  ASSERT_TRUE(KAVO_File().WriteSettings(dir.Path(QStringLiteral("KAVO_ini.prf")), &colours, &view));
  run = Tool({"plot", dta, "--r-only", "-o", png});
  ASSERT_EQ(run.status, 0) << run.err;
  image = QImage(png);
  EXPECT_EQ(image.size(), QSize(800, 600));
  EXPECT_GT(CountColour(image, 0x00AA00), 300);
  EXPECT_EQ(CountColour(image, DefaultPenR), 0);
  EXPECT_EQ(CountColour(image, DefaultPenTheta), 0);

  // References and the other two formats.
  for (const char* name : {"g.svg", "g.pdf"}) {
    const QString out = dir.Path(QString::fromUtf8(name));
    run = Tool({"plot", dta, "--ref", dta, "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const QByteArray bytes = ReadAll(out);
    EXPECT_TRUE(bytes.startsWith(name[2] == 'p' ? "%PDF" : "<?xml")) << name;
    EXPECT_GT(bytes.size(), 2000) << name;
  }
  EXPECT_EQ(Tool({"plot", dta, "-o", dir.Path(QStringLiteral("g.bmp"))}).status, cli::ExitUsage);
  EXPECT_EQ(Tool({"plot", dta, "--size", "9x9", "-o", png}).status, cli::ExitUsage);
}

}  // namespace
}  // namespace kavo::test
