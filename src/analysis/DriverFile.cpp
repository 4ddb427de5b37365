// See analysis/DriverFile.h.
#include "analysis/DriverFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

#include "analysis/ModelFit.h"
#include "data/Stringutil.h"

namespace kavo {
namespace {

// "NAME value ±σ" (or "+-") in the Comment; 0 when it is not there.
double CommentSigma(const QString& comment, const char* name) {
  const QRegularExpression re(
      QStringLiteral("(?:^|[\\s;,(])%1\\s*[=:]?\\s*[-+0-9.eE]*\\s*(?:±|\\+-)\\s*([0-9.eE+-]+)").arg(QLatin1String(name)));
  const QRegularExpressionMatch m = re.match(comment);
  double s = 0;
  return m.hasMatch() && ParseDecimal(m.captured(1), s) && std::isfinite(s) && s > 0 ? s : 0;
}

}  // namespace

bool ParseDriverFile(const QByteArray& bytes, DriverParameters& driver, double givenSd) {
  const QString text = QString::fromUtf8(bytes);
  if (!text.contains(QLatin1String("[Driver]"))) return false;
  DriverParameters d;
  double cms = 0, sd = givenSd;
  QString comment;
  for (const QString& raw : text.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
    if (key == QLatin1String("Comment")) {
      comment = value;
      continue;
    }
    double number = 0;
    if (!ParseDecimal(value, number) || !std::isfinite(number) || !(number > 0)) continue;
    const struct {
      const char* key;
      double* value;
    } fields[] = {{"Fs", &d.fs}, {"Qms", &d.qms}, {"Qes", &d.qes}, {"Qts", &d.qts}, {"Vas", &d.vas},
                  {"Re", &d.re}, {"Le", &d.le},   {"Cms", &cms},   {"Sd", &sd}};
    for (const auto& f : fields)
      if (key == QLatin1String(f.key)) *f.value = number;
  }
  if (!(d.vas > 0) && cms > 0 && sd > 0) d.vas = 1.18 * 345.0 * 345.0 * sd * sd * cms;
  // Two of the three Q values give the third.
  if (!(d.qts > 0) && d.qms > 0 && d.qes > 0) d.qts = d.qms * d.qes / (d.qms + d.qes);
  if (!(d.qes > 0) && d.qms > d.qts && d.qts > 0) d.qes = d.qms * d.qts / (d.qms - d.qts);
  if (!(d.qms > 0) && d.qes > d.qts && d.qts > 0) d.qms = d.qes * d.qts / (d.qes - d.qts);
  if (!(d.fs > 0) || !(d.qms > 0) || !(d.qes > 0)) return false;
  auto sigma = [&comment](const char* name, double value, double fraction) {
    const double s = CommentSigma(comment, name);
    return s > 0 ? s : fraction * value;
  };
  d.fsSigma = sigma("Fs", d.fs, DefaultFsSigma);
  d.qmsSigma = sigma("Qms", d.qms, DefaultQSigma);
  d.qesSigma = sigma("Qes", d.qes, DefaultQSigma);
  d.qtsSigma = sigma("Qts", d.qts, DefaultQSigma);
  d.vasSigma = sigma("Vas", d.vas, DefaultVasSigma);
  d.reSigma = sigma("Re", d.re, DefaultReSigma);
  driver = d;
  return true;
}

LoadFailure ReadDriverFile(const QString& file, DriverParameters& driver, double sd) {
  if (const LoadFailure failure = CheckInputFile(file, MaxDriverFileBytes); failure != LoadFailure::None)
    return failure;
  if (!QFileInfo(file).isFile()) return LoadFailure::NotData;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return LoadFailure::CannotOpen;
  return ParseDriverFile(f.read(MaxDriverFileBytes), driver, sd) ? LoadFailure::None : LoadFailure::NotData;
}

}  // namespace kavo
