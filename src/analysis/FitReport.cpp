// See analysis/FitReport.h.
#include "analysis/FitReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/FitModel.h"

namespace kavo {
namespace {

QJsonValue Number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }

QByteArray Range(const FittedRange& r) {
  return QByteArray::number(r.fmin, 'f', 0) + '-' + QByteArray::number(r.fmax, 'f', 0) + " Hz";
}

// `text` on one line: control characters as spaces.
QByteArray OneLine(const QString& text) {
  QString line = text;
  for (QChar& c : line)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return line.toUtf8();
}

}  // namespace

void FormatWithSigma(double value, double sigma, QString& v, QString& s) {
  if (std::isfinite(sigma) && sigma > 0) {
    const int decimals = std::clamp(1 - int(std::floor(std::log10(sigma))), 0, 9);
    v = QString::number(value, 'f', decimals);
    s = QString::number(sigma, 'f', decimals);
  } else {
    v = QString::number(value, 'g', 6);
    s = QLatin1String(std::isfinite(sigma) ? "0" : "---");
  }
}

QByteArray FitTableText(const FitResult& r) {
  QByteArray out;
  for (size_t v = 0; v < r.table.size(); ++v) {
    const ReportedValue& info = r.table[v];
    if (!r.has[v] || !info.listed) continue;
    QString value, sigma;
    FormatWithSigma(r.value[v] * info.scale, r.sigma[v] * info.scale, value, sigma);
    out += QByteArray(info.name) + '\t' + value.toUtf8() + "\t±" + sigma.toUtf8() + '\t' + info.unit + '\n';
  }
  return out + "residual\t" + QByteArray::number(r.residual * 100, 'f', 3) + "\t\t%\n";
}

QByteArray FitJson(const FitResult& r, const QString& modelName, const QStringList& warnings) {
  QJsonObject values, sigmas, parts, ranges;
  for (size_t v = 0; v < r.table.size(); ++v) {
    const ReportedValue& info = r.table[v];
    if (!r.has[v] || !info.listed) continue;
    const QLatin1String key(info.key);
    values.insert(key, Number(r.value[v] * info.scale));
    sigmas.insert(key, Number(r.sigma[v] * info.scale));
    parts.insert(key, QJsonObject{{QLatin1String("stat"), Number(r.sigmaStat[v] * info.scale)},
                                  {QLatin1String("model"), Number(r.sigmaModel[v] * info.scale)},
                                  {QLatin1String("input"), Number(r.sigmaInput[v] * info.scale)}});
  }
  for (const FittedRange& range : r.ranges)
    ranges.insert(QLatin1String(r.model->CurveName(range.role)), QJsonArray{Number(range.fmin), Number(range.fmax)});
  QJsonObject o;
  o.insert(QLatin1String("values"), values);
  o.insert(QLatin1String("sigma"), sigmas);
  o.insert(QLatin1String("sigma_parts"), parts);
  o.insert(QLatin1String("residual_correlation"), Number(r.correlation));
  o.insert(QLatin1String("residual_correlation_points"), Number(r.correlationTime));
  o.insert(QLatin1String("residual_rms"), Number(r.residual));
  o.insert(QLatin1String("model"), modelName);
  o.insert(QLatin1String("range_hz"), QJsonArray{Number(r.fmin), Number(r.fmax)});
  o.insert(QLatin1String("ranges_hz"), ranges);
  o.insert(QLatin1String("warnings"), QJsonArray::fromStringList(warnings));
  return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray WdrText(const FitResult& r, const QString& modelName, const DriverFileInfo& info) {
  QByteArray comment = OneLine(info.comment);
  if (!comment.isEmpty()) comment += "; ";
  comment += "KAVO model fit (" + OneLine(modelName) + "), ";
  for (const FittedRange& range : r.ranges)
    comment += (r.ranges.size() > 1 ? QByteArray(r.model->CurveName(range.role)) + ' ' : QByteArray()) + Range(range) + ", ";
  comment += "residual " + QByteArray::number(r.residual * 100, 'f', 2) + " %";
  // Each value's total σ in the file's units, for a reader that takes it.
  for (size_t v = 0; v < r.table.size(); ++v) {
    const ReportedValue& info = r.table[v];
    if (!info.driverKey || !r.has[v] || !(r.sigma[v] > 0) || !std::isfinite(r.sigma[v])) continue;
    QString value, sigma;
    FormatWithSigma(r.value[v], r.sigma[v], value, sigma);
    comment += ", " + QByteArray(info.driverKey) + ' ' + value.toLatin1() + " ±" + sigma.toLatin1();
  }
  QByteArray t = "[Driver]\nBrand=" + OneLine(info.brand) + "\nModel=" + OneLine(info.model) + "\nComment=" + comment + '\n';
  std::vector<size_t> keys;
  for (size_t v = 0; v < r.table.size(); ++v)
    if (r.table[v].driverKey && r.has[v] && std::isfinite(r.value[v])) keys.push_back(v);
  std::stable_sort(keys.begin(), keys.end(),
                   [&](size_t a, size_t b) { return r.table[a].driverOrder < r.table[b].driverOrder; });
  for (size_t v : keys) t += QByteArray(r.table[v].driverKey) + '=' + QByteArray::number(r.value[v], 'g', 9) + '\n';
  return t;
}

}  // namespace kavo
