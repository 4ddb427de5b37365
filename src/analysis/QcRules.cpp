// The .kqc reader: see analysis/QcRules.h.
#include "analysis/QcRules.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "analysis/QcParams.h"
#include "data/Stringutil.h"

namespace kavo {
namespace {

bool Number(const QString& text, double& v) { return ParseDecimal(text, v); }

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

// A limit's number, with the parameter's unit or without ("2.2mH", "2.2").
bool LimitNumber(const QString& text, int param, double& v) {
  const QByteArray unit = QcParamUnit(param);
  if (unit == "mH") return WithUnit(text, {"mH"}, true, v);
  if (unit == "µF") return WithUnit(text, {"µF", "uF"}, true, v);
  if (unit == "µH") return WithUnit(text, {"µH", "uH"}, true, v);
  if (unit == "Ω") return WithUnit(text, {"ohms", "ohm", "Ω"}, true, v);
  return Number(text.trimmed(), v);
}

using P = QcRuleProblem;

// One `key = value` line into `rules`; false with the problem.
bool ReadLine(const QString& key, const QString& value, int lineNo, QcRules& rules, QcRuleError& error) {
  auto fail = [&](P problem, const QString& text) {
    error = {lineNo, problem, text, {}};
    return false;
  };
  double v = 0;
  if (key == QLatin1String("reference")) {
    rules.referenceLine = lineNo;
    if (value == QLatin1String("mean")) rules.meanReference = true;
    else rules.reference = value;
  } else if (key == QLatin1String("range")) {
    const QStringList ends = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    rules.rangeLine = lineNo;
    if (ends.size() != 2 || !Number(ends[0], rules.fmin) || !Number(ends[1], rules.fmax) || !(rules.fmin > 0) ||
        !(rules.fmin < rules.fmax))
      return fail(P::BadRange, value);
  } else if (key == QLatin1String("R")) {
    if (Percent(value, v)) rules.r = {QcTolKind::Percent, v};
    else if (WithUnit(value, {"ohms", "ohm", "Ω"}, false, v) && v >= 0) rules.r = {QcTolKind::Absolute, v};
    else return fail(P::NotNumber, value);
  } else if (key == QLatin1String("theta")) {
    if (WithUnit(value, {"deg", "°"}, true, v) && v >= 0) rules.theta = {QcTolKind::Absolute, v};
    else return fail(P::NotAngle, value);
  } else if (key == QLatin1String("re")) {
    if (!WithUnit(value, {"ohms", "ohm", "Ω"}, true, rules.re) || !(rules.re > 0)) return fail(P::BadRe, value);
  } else {
    int param = -1;
    FindQcParam(key.toStdString(), param);
    int k = 0;
    if (!QcFamilies()[size_t(QcFamilyOf(param, &k))].determined(k)) return fail(P::NotDetermined, key);
    QcLimit limit;
    limit.param = param;
    limit.line = lineNo;
    const qsizetype dots = value.indexOf(QLatin1String(".."));
    const QRegularExpressionMatch nominal =
        QRegularExpression(QStringLiteral("^(.+)\\s+(\\S+?)\\s*%$")).match(value);
    double nom = 0, pct = 0;
    if (Percent(value, limit.value)) {
      limit.percent = true;
    } else if (nominal.hasMatch() && LimitNumber(nominal.captured(1), param, nom) &&
               Number(nominal.captured(2), pct) && pct >= 0) {
      // "2.2mH 5%": the nominal value and its tolerance.
      limit.lo = nom - std::abs(nom) * pct / 100;
      limit.hi = nom + std::abs(nom) * pct / 100;
    } else if (dots >= 0 && dots + 2 < value.size() + (dots > 0) &&
               (dots == 0 || LimitNumber(value.left(dots), param, limit.lo)) &&
               (dots + 2 == value.size() || LimitNumber(value.mid(dots + 2), param, limit.hi))) {
      // "..0.5" and "2.." leave one end open.
      if (dots == 0) limit.lo = -HUGE_VAL;
      if (dots + 2 == value.size()) limit.hi = HUGE_VAL;
      if (limit.lo > limit.hi) return fail(P::UpsideDown, value);
    } else {
      return fail(P::NotNumber, value);
    }
    rules.limits.push_back(limit);
  }
  return true;
}

}  // namespace

std::vector<bool> QcRules::Families() const {
  std::vector<bool> used(QcFamilies().size(), false);
  for (const QcLimit& l : limits) used[size_t(QcFamilyOf(l.param))] = true;
  return used;
}

bool ParseQcRules(const QString& text, QcRules& rules, QcRuleError& error) {
  rules = QcRules();
  const QStringList lines = text.split(QLatin1Char('\n'));
  QSet<QString> seen;
  for (int n = 0; n < lines.size(); ++n) {
    const int lineNo = n + 1;
    QString line = lines[n];
    if (const qsizetype hash = line.indexOf(QLatin1Char('#')); hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return error = {lineNo, P::NotKeyValue, line, {}}, false;
    const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
    if (key.isEmpty()) return error = {lineNo, P::NoKey, line, {}}, false;
    int param = 0;
    const bool isParam = FindQcParam(key.toStdString(), param);
    if (!isParam && !QStringList{"reference", "range", "R", "theta", "re"}.contains(key))
      return error = {lineNo, P::UnknownKey, key, {}}, false;
    // "Fs" and "ts.Fs" are one key.
    const QString canonical = isParam ? QString::fromStdString(QcParamName(param)) : key;
    if (seen.contains(canonical)) return error = {lineNo, P::Twice, key, {}}, false;
    seen.insert(canonical);
    if (value.isEmpty()) return error = {lineNo, P::NoValue, key, {}}, false;
    if (!ReadLine(key, value, lineNo, rules, error)) return false;
  }
  // Limits of their own (a part's nominal value) need no reference.
  bool needsReference = rules.r.kind != QcTolKind::None || rules.theta.kind != QcTolKind::None;
  for (const QcLimit& l : rules.limits) needsReference = needsReference || l.percent;
  if (rules.referenceLine == 0 && needsReference) return error = {0, P::NoReference, {}, {}}, false;
  for (const QcLimit& l : rules.limits)
    if (QcFamilyOf(l.param) == QcTsFamily && l.param != QcTsParam("Fs") && !(rules.re > 0))
      return error = {l.line, P::NeedsRe, QString::fromStdString(QcParamName(l.param)), {}}, false;
  // A check that compares nothing would pass every driver.
  if (rules.r.kind == QcTolKind::None && rules.theta.kind == QcTolKind::None && rules.limits.empty())
    return error = {0, P::NothingToCheck, {}, {}}, false;
  return true;
}

}  // namespace kavo
