// kavo-tool print against "グラフ印刷" of the main window: the same
// measurement, references and information lines, the pages compared pixel
// by pixel after rasterising both PDFs.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

#include "EventPump.h"
#include "MainWindowFixture.h"
#include "UnitModel.h"
#include "Records.h"
#include "cli_fixture.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "shell/Kavo_main.h"

namespace kavo::test {
namespace {

// The first page of `pdf` at `dpi`, through pdftoppm.
QImage Rasterise(const QString& pdf, int dpi) {
  const QString stem = pdf + QStringLiteral(".r");
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                       QStringLiteral("-singlefile"), pdf, stem});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

int Coloured(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      n += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
    }
  return n;
}

class PrintCommand : public MainWindowTest {};

TEST_F(PrintCommand, PageEqualsTheWindowsPrintout) {
  if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-v")}) < 0) GTEST_SKIP() << "no pdftoppm";
  kavsim::DriverModel woofer, full;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  ASSERT_TRUE(kavsim::FindPreset("fullrange", full));
  const QString file = WriteDriver(dir, QStringLiteral("woofer.DTA"), woofer);
  const QString boxed = WriteDriver(dir, QStringLiteral("boxed.DTA"), kavsim::Loaded(woofer, 0, woofer.Vas));
  const QString other = WriteDriver(dir, QStringLiteral("full.DTA"), full);
  const QStringList info = {QStringLiteral("測定者: 山田 太郎"), QString(), QStringLiteral("KA-V SN=0815")};

  // The window: open, two references, "グラフ印刷" into a PDF.
  Start();
  main->show();
  PumpFor(100);
  modal->fileAnswers.push_back(file);
  main->MenuFile_OpenClick();
  modal->fileListAnswers.push_back({boxed, other});
  main->MenuRef_OpenClick();
  QPrinter& printer = main->mPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setResolution(150);
  printer.setOutputFileName(dir.Path(QStringLiteral("window.pdf")));
  modal->dialogHandler = [&info](QDialog& dialog) {
    auto& form = dynamic_cast<TFormPrnInfo&>(dialog);
    form.Edit1->setText(info[0]);
    form.Edit2->setText(info[1]);
    form.Edit3->setText(info[2]);
    form.Button1->click();
    return form.result();
  };
  modal->printAnswers.push_back(true);
  main->MenuFile_PrintClick();
  ASSERT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join(' ').toStdString();

  // The tool, with the same settings folder.
  const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool");
  const QString page = dir.Path(QStringLiteral("tool.pdf"));
  QProcess p;
  p.start(program, {QStringLiteral("print"), file, QStringLiteral("--ref"), boxed, QStringLiteral("--ref"), other,
                    QStringLiteral("--info"), info[0], QStringLiteral("--info"), info[1], QStringLiteral("--info"),
                    info[2], QStringLiteral("--dpi"), QStringLiteral("150"), QStringLiteral("-o"), page});
  ASSERT_TRUE(p.waitForFinished(60000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

  const QImage want = Rasterise(dir.Path(QStringLiteral("window.pdf")), 40);
  const QImage got = Rasterise(page, 40);
  ASSERT_FALSE(want.isNull());
  ASSERT_EQ(got.size(), want.size());
  // A4 at 40 dpi, curves in colour on it, and the same page.
  EXPECT_NEAR(got.width(), 331, 2);
  EXPECT_GT(Coloured(got), 500);
  EXPECT_TRUE(got == want);

  // Landscape turns the page.
  p.start(program, {QStringLiteral("print"), file, QStringLiteral("--landscape"), QStringLiteral("--dpi"),
                    QStringLiteral("100"), QStringLiteral("-o"), dir.Path(QStringLiteral("wide.pdf"))});
  ASSERT_TRUE(p.waitForFinished(60000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QImage wide = Rasterise(dir.Path(QStringLiteral("wide.pdf")), 40);
  EXPECT_GT(wide.width(), wide.height());
}

// Bad input: a usage error or the window's message, exit status, no page.
TEST_F(PrintCommand, Refusals) {
  const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool");
  kavsim::DriverModel woofer;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  const QString file = WriteDriver(dir, QStringLiteral("woofer.DTA"), woofer);
  QFile bad(dir.Path(QStringLiteral("bad.DTA")));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a measurement\r\n");
  bad.close();
  const QString page = dir.Path(QStringLiteral("page.pdf"));
  struct Case {
    QStringList args;
    int status;
  };
  const Case cases[] = {
      {{"print", file}, 64},
      {{"print", file, "--dpi", "5000", "-o", page}, 64},
      {{"print", file, "--info", "a", "--info", "b", "--info", "c", "--info", "d", "-o", page}, 64},
      {{"print", file, "--info", QString(300, QLatin1Char('x')), "-o", page}, 64},
      {{"print", bad.fileName(), "-o", page}, 2},
      {{"print", file, "--ref", bad.fileName(), "-o", page}, 2},
      {{"print", file, "-o", dir.Path(QStringLiteral("no/such/folder/page.pdf"))}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    QProcess p;
    p.start(program, c.args);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), c.status);
    EXPECT_FALSE(p.readAllStandardError().isEmpty());
    EXPECT_FALSE(QFile::exists(page));
  }
}

}  // namespace
}  // namespace kavo::test
