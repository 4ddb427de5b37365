#include "PdfRender.h"

#include <QFile>
#include <QProcess>

namespace kavo::test {

QImage RenderPdfRegion(const QString& pdf, const QRect& region, int dpi) {
  const QString prefix = pdf + QStringLiteral(".region");
  QProcess tool;
  tool.start(QStringLiteral("pdftoppm"),
             {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
              QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-r"), QString::number(dpi),
              QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
              QStringLiteral("-x"), QString::number(region.x()), QStringLiteral("-y"), QString::number(region.y()),
              QStringLiteral("-W"), QString::number(region.width()), QStringLiteral("-H"),
              QString::number(region.height()), pdf, prefix});
  if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
    return QImage();
  QImage image(prefix + QStringLiteral(".png"));
  QFile::remove(prefix + QStringLiteral(".png"));
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace kavo::test
