// Quality check and matching: see analysis/QualityCheck.h.
#include "analysis/QualityCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/Ts_analysis.h"
#include "data/DataSets.h"
#include "data/Kavo_data.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString T(bool ja, const char* japanese, const char* english) { return ja ? U(japanese) : U(english); }

// Four significant digits, whole numbers from 1000 up (never an exponent).
QString Num(double v) {
  if (std::abs(v) >= 1000) return QString::number(v, 'f', 0);
  return QString::number(v, 'g', 4);
}
QString Signed(double v) { return (v >= 0 ? QStringLiteral("+") : QString()) + Num(v); }

const char* const ClassicalNames[QcClassicalCount] = {"Re", "Fs", "Qms", "Qes", "Qts"};

// A value of one channel of a curve at f, linear in log f; false outside the curve.
bool CurveAt(const FitCurve& c, const std::vector<double>& y, double f, double& v) {
  const auto& x = c.f;
  if (x.empty() || !(f >= x.front() * (1 - 1e-9)) || !(f <= x.back() * (1 + 1e-9))) return false;
  const auto it = std::lower_bound(x.begin(), x.end(), f);
  size_t i = size_t(it - x.begin());
  if (i >= x.size()) i = x.size() - 1;
  if (i == 0 || x[i] == f) {
    v = y[i];
    return true;
  }
  const double t = std::log(f / x[i - 1]) / std::log(x[i] / x[i - 1]);
  v = y[i - 1] + t * (y[i] - y[i - 1]);
  return true;
}

bool Number(const QString& text, double& v) {
  bool ok = false;
  v = text.trimmed().toDouble(&ok);
  return ok && std::isfinite(v);
}

// "10%", "10 %".
bool Percent(const QString& text, double& v) {
  const QString t = text.trimmed();
  return t.endsWith(QLatin1Char('%')) && Number(t.chopped(1), v) && v >= 0;
}

// "0.5 ohm", "8 deg": the number and one of `units` (or none when `bare`).
bool WithUnit(const QString& text, std::initializer_list<const char*> units, bool bare, double& v) {
  const QString t = text.trimmed();
  for (const char* u : units) {
    const QString unit = QString::fromUtf8(u);
    if (t.endsWith(unit)) return Number(t.chopped(unit.size()), v);
  }
  return bare && Number(t, v);
}

}  // namespace

std::string QcParamName(int p) {
  if (p < QcClassicalCount) return ClassicalNames[p];
  return std::string("fit.") + FitValueInfoOf(p - QcClassicalCount).name;
}

bool FindQcParam(const std::string& name, int& p) {
  for (int i = 0; i < QcParamCount; ++i)
    if (QcParamName(i) == name) return p = i, true;
  if (name == "fit.lambda") return p = int(QcClassicalCount) + int(FvLambda), true;  // λ as plain text
  return false;
}

QcMeasurement MeasureDriver(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis) {
  QcMeasurement m;
  const int32_t band = data.band;
  m.curve = CurveFromSlots(raw.R, raw.Theta, raw.Freq, BandFirstSlot(band), BandLastSlot(band));
  const bool ja = analysis.japanese;
  auto tsText = [ja](TsFailure f) {
    const QString text = TsFailureText(f);
    return ja ? text : QCoreApplication::translate("Catalogue", text.toUtf8().constData());
  };

  PointValues smooth;
  MakeSmoothValues(raw, band, smooth);
  TsAnalysis a;
  a.SetSource(&raw, &smooth, &data);
  a.FindPeaks();
  if (a.peakCount == 0) {
    m.classicalFailure = tsText(TsFailure::NoPeak);
  } else {
    m.value[QpFs] = a.peakF;
    m.has[QpFs] = true;
    if (analysis.re > 0) {
      TSResult ts;
      const TsFailure failure = a.CalcTS(float(analysis.re), ts);
      if (failure == TsFailure::None) {
        const float values[] = {ts.Re, ts.Fs, ts.Qms, ts.Qes, ts.Qts};
        for (int p = 0; p < QcClassicalCount; ++p) m.value[size_t(p)] = values[p], m.has[size_t(p)] = true;
      } else {
        m.classicalFailure = tsText(failure);
      }
    } else {
      m.classicalFailure = T(ja, "Re が指定されていません（re = OHMS）", "no re = OHMS given");
    }
  }

  if (analysis.fit) {
    FitInput in;
    in.free = m.curve;
    in.re = analysis.re;
    in.fitRe = !(analysis.re > 0);
    const FitResult r = FitDriver(in);
    if (r.Ok()) {
      for (int v = 0; v < FitValueCount; ++v) {
        if (!r.has[size_t(v)]) continue;
        m.value[size_t(QcClassicalCount + v)] = r.value[size_t(v)] * FitValueInfoOf(v).scale;
        m.has[size_t(QcClassicalCount + v)] = true;
      }
    } else {
      m.fitFailed = r.failure;
      if (analysis.fitFailureText) m.fitFailure = analysis.fitFailureText(r.failure);
    }
  }
  return m;
}

bool QcRules::NeedsFit() const {
  return std::any_of(limits.begin(), limits.end(), [](const QcLimit& l) { return IsFitParam(l.param); });
}

bool ParseQcRules(const QString& text, QcRules& rules, QcRuleError& error, bool ja) {
  rules = QcRules();
  const QStringList lines = text.split(QLatin1Char('\n'));
  QSet<QString> seen;
  auto fail = [&](int line, const QString& reason) {
    error = {line, reason};
    return false;
  };
  for (int n = 0; n < lines.size(); ++n) {
    const int lineNo = n + 1;
    QString line = lines[n];
    if (const qsizetype hash = line.indexOf(QLatin1Char('#')); hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return fail(lineNo, T(ja, "「キー = 値」の形ではありません", "not a key = value line"));
    const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
    if (key.isEmpty()) return fail(lineNo, T(ja, "キーがありません", "no key before ="));
    int param = -1;
    const bool known = key == QLatin1String("reference") || key == QLatin1String("range") ||
                       key == QLatin1String("R") || key == QLatin1String("theta") || key == QLatin1String("re") ||
                       FindQcParam(key.toStdString(), param);
    if (!known) return fail(lineNo, T(ja, "不明なキー '%1'", "unknown key '%1'").arg(key));
    if (seen.contains(key)) return fail(lineNo, T(ja, "'%1' が二度指定されています", "'%1' given twice").arg(key));
    seen.insert(key);
    if (value.isEmpty()) return fail(lineNo, T(ja, "'%1' に値がありません", "no value for '%1'").arg(key));
    const QString notNumber =
        T(ja, "'%1' は数値でもパーセントでもありません", "'%1' is not a number or a percent").arg(value);
    double v = 0;
    if (key == QLatin1String("reference")) {
      rules.referenceLine = lineNo;
      if (value == QLatin1String("mean")) rules.meanReference = true;
      else rules.reference = value;
    } else if (key == QLatin1String("range")) {
      const QStringList ends = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
      if (ends.size() != 2 || !Number(ends[0], rules.fmin) || !Number(ends[1], rules.fmax) || !(rules.fmin > 0) ||
          !(rules.fmin < rules.fmax))
        return fail(lineNo, T(ja, "range は「下限 上限」（Hz、下限 < 上限）です: '%1'",
                              "range takes FMIN FMAX in Hz, FMIN below FMAX: '%1'").arg(value));
    } else if (key == QLatin1String("R")) {
      if (Percent(value, v)) rules.r = {QcTolKind::Percent, v};
      else if (WithUnit(value, {"ohms", "ohm", "Ω"}, false, v) && v >= 0) rules.r = {QcTolKind::Absolute, v};
      else return fail(lineNo, notNumber);
    } else if (key == QLatin1String("theta")) {
      if (WithUnit(value, {"deg", "°"}, true, v) && v >= 0) rules.theta = {QcTolKind::Absolute, v};
      else return fail(lineNo, T(ja, "'%1' は角度（deg）ではありません", "'%1' is not an angle in deg").arg(value));
    } else if (key == QLatin1String("re")) {
      if (!WithUnit(value, {"ohms", "ohm", "Ω"}, true, rules.re) || !(rules.re > 0))
        return fail(lineNo, T(ja, "re は0より大きな抵抗値（Ω）です: '%1'", "re takes ohms above 0: '%1'").arg(value));
    } else {
      QcLimit limit;
      limit.param = param;
      limit.line = lineNo;
      const qsizetype dots = value.indexOf(QLatin1String(".."));
      if (Percent(value, limit.value)) {
        limit.percent = true;
      } else if (dots > 0 && Number(value.left(dots), limit.lo) && Number(value.mid(dots + 2), limit.hi)) {
        if (limit.lo > limit.hi)
          return fail(lineNo, T(ja, "範囲の下限が上限より大きくなっています: '%1'", "the interval's low end is above its high end: '%1'").arg(value));
      } else {
        return fail(lineNo, notNumber);
      }
      rules.limits.push_back(limit);
    }
  }
  if (rules.referenceLine == 0)
    return fail(0, T(ja, "参照がありません（reference = PATH または reference = mean）",
                     "no reference (reference = PATH or reference = mean)"));
  for (const QcLimit& l : rules.limits)
    if (!IsFitParam(l.param) && l.param != QpFs && !(rules.re > 0))
      return fail(l.line, T(ja, "%1 には re = OHMS が必要です", "%1 needs re = OHMS").arg(QString::fromStdString(QcParamName(l.param))));
  return true;
}

QcMeasurement MeanMeasurement(const std::vector<const QcMeasurement*>& set) {
  QcMeasurement mean;
  if (set.empty()) return mean;
  for (const double f : set.front()->curve.f) {
    double r = 0, theta = 0, v = 0;
    bool all = true;
    for (const QcMeasurement* m : set) {
      if (!CurveAt(m->curve, m->curve.r, f, v)) {
        all = false;
        break;
      }
      r += v;
      CurveAt(m->curve, m->curve.thetaDeg, f, v);
      theta += v;
    }
    if (!all) continue;
    mean.curve.f.push_back(f);
    mean.curve.r.push_back(r / double(set.size()));
    mean.curve.thetaDeg.push_back(theta / double(set.size()));
  }
  for (int p = 0; p < QcParamCount; ++p) {
    std::vector<double> values;
    for (const QcMeasurement* m : set)
      if (m->has[size_t(p)]) values.push_back(m->value[size_t(p)]);
    if (values.empty()) continue;
    mean.value[size_t(p)] = Statistics(values).mean;
    mean.has[size_t(p)] = true;
  }
  return mean;
}

void QcRange(const QcRules& rules, const QcMeasurement& reference, double& fmin, double& fmax) {
  fmin = rules.fmin;
  fmax = rules.fmax;
  if (fmin > 0 || reference.curve.Empty()) return;
  fmin = reference.curve.f.front();
  fmax = reference.curve.f.back();
}

QcVerdict CheckDriver(const QcRules& rules, const QcMeasurement& ref, const QcMeasurement& m, bool ja) {
  QcVerdict verdict;
  auto reason = [&verdict](const QString& text) {
    verdict.pass = false;
    verdict.reasons << text;
  };
  double lo = 0, hi = 0;
  QcRange(rules, ref, lo, hi);
  bool uncovered = false;
  const struct {
    const QcTolerance& tol;
    const std::vector<double> FitCurve::*channel;
    const char* name;
  } channels[] = {{rules.r, &FitCurve::r, "R"}, {rules.theta, &FitCurve::thetaDeg, "θ"}};
  for (const auto& ch : channels) {
    if (ch.tol.kind == QcTolKind::None) continue;
    const bool percent = ch.tol.kind == QcTolKind::Percent;
    const QString unit = percent ? QStringLiteral(" %") : ch.channel == &FitCurve::r ? QStringLiteral(" Ω")
                                                                                       : QStringLiteral(" deg");
    bool open = false;
    double f1 = 0, f2 = 0, worst = 0;
    auto close = [&] {
      if (!open) return;
      open = false;
      const QString where = f1 == f2 ? QStringLiteral("%1 Hz").arg(Num(f1))
                                     : QStringLiteral("%1–%2 Hz").arg(Num(f1), Num(f2));
      reason(T(ja, "%1 が %2 で許容範囲外（最大 %3、許容 ±%4）", "%1 leaves the band at %2 by up to %3 (allowed ±%4)")
                 .arg(QString::fromUtf8(ch.name), where, Signed(worst) + unit, Num(ch.tol.value) + unit));
    };
    const std::vector<double>& refY = ref.curve.*ch.channel;
    for (size_t i = 0; i < ref.curve.f.size(); ++i) {
      const double f = ref.curve.f[i];
      if (f < lo * (1 - 1e-9) || f > hi * (1 + 1e-9)) continue;
      double v = 0;
      if (!CurveAt(m.curve, m.curve.*ch.channel, f, v)) {
        uncovered = true;
        close();
        continue;
      }
      const double dev = percent ? (refY[i] != 0 ? 100 * (v - refY[i]) / std::abs(refY[i]) : HUGE_VAL) : v - refY[i];
      // The curves' values are floats: a deviation on the limit itself is inside.
      if (std::abs(dev) > ch.tol.value * (1 + 1e-6) + 1e-9) {
        if (!open) open = true, f1 = f, worst = dev;
        f2 = f;
        if (std::abs(dev) > std::abs(worst)) worst = dev;
      } else {
        close();
      }
    }
    close();
  }
  if (uncovered)
    reason(T(ja, "曲線が比較範囲 %1–%2 Hz を覆っていません", "the curve does not cover the range %1–%2 Hz")
               .arg(Num(lo), Num(hi)));

  for (const QcLimit& l : rules.limits) {
    const QString name = QString::fromStdString(QcParamName(l.param));
    const size_t p = size_t(l.param);
    if (!m.has[p]) {
      QString why = IsFitParam(l.param) ? m.fitFailure : m.classicalFailure;
      if (why.isEmpty()) why = T(ja, "適合したモデルにない値です", "not a value of the fitted model");
      reason(T(ja, "%1 が求まりません: %2", "%1 not determined: %2").arg(name, why));
      continue;
    }
    double a = l.lo, b = l.hi;
    QString limit = QStringLiteral("%1..%2").arg(Num(a), Num(b));
    if (l.percent) {
      if (!ref.has[p]) {
        reason(T(ja, "参照の %1 が求まりません", "the reference has no %1").arg(name));
        continue;
      }
      const double r = ref.value[p], d = std::abs(r) * l.value / 100;
      a = r - d;
      b = r + d;
      limit = QStringLiteral("%1..%2 (%3 ±%4 %)").arg(Num(a), Num(b), Num(r), Num(l.value));
    }
    const double v = m.value[p];
    if (!(v >= a - 1e-6 * std::abs(a) && v <= b + 1e-6 * std::abs(b)))
      reason(T(ja, "%1 %2 が %3 の外", "%1 %2 outside %3").arg(name, Num(v), limit));
  }
  return verdict;
}

QcBand ToleranceBand(const QcRules& rules, const QcMeasurement& ref) {
  QcBand band;
  double lo = 0, hi = 0;
  QcRange(rules, ref, lo, hi);
  for (size_t i = 0; i < ref.curve.f.size(); ++i) {
    const double f = ref.curve.f[i], r = ref.curve.r[i];
    if (f < lo * (1 - 1e-9) || f > hi * (1 + 1e-9)) continue;
    const double d = rules.r.kind == QcTolKind::Percent ? std::abs(r) * rules.r.value / 100
                     : rules.r.kind == QcTolKind::Absolute ? rules.r.value
                                                           : 0;
    band.f.push_back(f);
    band.ref.push_back(r);
    band.lo.push_back(r - d);
    band.hi.push_back(r + d);
  }
  return band;
}

QcStats Statistics(const std::vector<double>& values) {
  QcStats s;
  s.count = int(values.size());
  if (values.empty()) return s;
  s.min = *std::min_element(values.begin(), values.end());
  s.max = *std::max_element(values.begin(), values.end());
  double sum = 0;
  for (const double v : values) sum += v;
  s.mean = sum / s.count;
  if (s.count > 1) {
    double sq = 0;
    for (const double v : values) sq += (v - s.mean) * (v - s.mean);
    s.sigma = std::sqrt(sq / (s.count - 1));
  }
  return s;
}

bool CurveR(const FitCurve& c, double f, double& r) { return CurveAt(c, c.r, f, r); }

double MatchDistance(const QcMeasurement& a, const QcMeasurement& b, double fmin, double fmax) {
  constexpr int GridPoints = 200;
  double sq = 0;
  for (int k = 0; k < GridPoints; ++k) {
    const double f = fmin * std::pow(fmax / fmin, double(k) / (GridPoints - 1));
    double ra = 0, rb = 0;
    if (!CurveR(a.curve, f, ra) || !CurveR(b.curve, f, rb)) return -1;
    const double d = 100 * (ra - rb) / ((ra + rb) / 2);
    sq += d * d;
  }
  double total = sq / GridPoints;
  for (const int p : {int(QpFs), int(QpQts)}) {
    if (!a.has[size_t(p)] || !b.has[size_t(p)]) continue;
    const double va = a.value[size_t(p)], vb = b.value[size_t(p)];
    const double d = 100 * (va - vb) / ((va + vb) / 2);
    total += d * d;
  }
  return std::sqrt(total);
}

bool CommonRange(const std::vector<const QcMeasurement*>& set, double& fmin, double& fmax) {
  fmin = 0;
  fmax = HUGE_VAL;
  for (const QcMeasurement* m : set) {
    if (m->curve.Empty()) return false;
    fmin = std::max(fmin, m->curve.f.front());
    fmax = std::min(fmax, m->curve.f.back());
  }
  return !set.empty() && fmin > 0 && fmin < fmax;
}

std::vector<MatchPair> MatchPairs(const std::vector<const QcMeasurement*>& set, double fmin, double fmax,
                                  int maxPairs) {
  std::vector<MatchPair> all;
  for (int i = 0; i < int(set.size()); ++i)
    for (int j = i + 1; j < int(set.size()); ++j)
      if (const double d = MatchDistance(*set[size_t(i)], *set[size_t(j)], fmin, fmax); d >= 0)
        all.push_back({i, j, d});
  std::stable_sort(all.begin(), all.end(), [](const MatchPair& x, const MatchPair& y) { return x.distance < y.distance; });
  std::vector<MatchPair> pairs;
  std::vector<bool> used(set.size(), false);
  for (const MatchPair& p : all) {
    if (maxPairs > 0 && int(pairs.size()) >= maxPairs) break;
    if (used[size_t(p.a)] || used[size_t(p.b)]) continue;
    used[size_t(p.a)] = used[size_t(p.b)] = true;
    pairs.push_back(p);
  }
  return pairs;
}

bool LoadQcSetup(const QString& path, const MeasureData* refs, const PointValues* refRaw, int count, QcRules& rules,
                 QcMeasurement& reference, QString& why) {
  const auto u = [](const char* text) { return QString::fromUtf8(text); };
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    why = u("ファイルを読めません");
    return false;
  }
  QcRuleError error;
  if (!ParseQcRules(QString::fromUtf8(file.read(1 << 20)), rules, error, true)) {
    why = error.line > 0 ? u("%1行目: %2").arg(error.line).arg(error.reason) : error.reason;
    return false;
  }
  const QcAnalysis analysis{rules.re, rules.NeedsFit(), true};
  if (rules.meanReference) {
    std::vector<QcMeasurement> measured;
    for (int k = 0; k < count; ++k)
      if (refs[k].valid) measured.push_back(MeasureDriver(refs[k], refRaw[k], analysis));
    if (measured.empty()) {
      why = u("平均を参照にするには参照データを開いてください");
      return false;
    }
    std::vector<const QcMeasurement*> set;
    for (const QcMeasurement& m : measured) set.push_back(&m);
    reference = MeanMeasurement(set);
    return true;
  }
  QString refPath = rules.reference;
  if (QFileInfo(refPath).isRelative()) refPath = QFileInfo(path).dir().filePath(refPath);
  auto data = std::make_unique<MeasureData>();
  auto raw = std::make_unique<PointValues>(), ave = std::make_unique<PointValues>();
  QString tableWhy;
  const KAVO_File files;
  switch (ReadCurveFile(files, refPath, 0, *data, *raw, *ave, tableWhy)) {
    case LoadFailure::None:
      reference = MeasureDriver(*data, *raw, analysis);
      return true;
    case LoadFailure::Unreadable: tableWhy = u("データファイルの内容が正しくありませんでした"); break;
    case LoadFailure::Unconvertible: tableWhy = u("データエラーで計算できませんでした"); break;
    case LoadFailure::Table: break;
  }
  why = u("%1行目: 参照 %2: %3").arg(rules.referenceLine).arg(refPath, tableWhy);
  return false;
}

}  // namespace kavo
