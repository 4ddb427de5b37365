// kavo-tool's messages: see cli/Texts.h.
#include "cli/Texts.h"

#include <QTranslator>
#include <memory>
#include <ostream>

#include "data/WholeFile.h"
#include "messages/Ka_texts.h"

namespace kavo::cli {
namespace {

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

QString Catalogue(const QString& japanese) {
  return QCoreApplication::translate("Catalogue", japanese.toUtf8().constData());
}

QString BadDataFileText() { return Catalogue(QString::fromUtf8(msgtext::DataFileError)); }
QString CalcDataErrorText() { return Catalogue(QString::fromUtf8(msgtext::CalcDataError)); }

QString TsFailureText(TsFailure failure) {
  switch (failure) {
    case TsFailure::None: break;
    case TsFailure::NoPeak: return ToolText::tr("no peak was found");
    case TsFailure::BadRe: return ToolText::tr("the value of Re is not valid");
    case TsFailure::NoF1: return ToolText::tr("f1 cannot be found");
    case TsFailure::NoF2: return ToolText::tr("f2 cannot be found");
    case TsFailure::SameF1F2: return ToolText::tr("f1 and f2 cannot be computed correctly");
  }
  return QString();
}

QString MechanicsFailureText(const MechanicsFailure& f) {
  const auto n = [](double v) { return QString::number(v, 'g', 4); };
  switch (f.code) {
    case MechanicsFailure::None: break;
    case MechanicsFailure::NoRe: return ToolText::tr("Re must be above 0");
    case MechanicsFailure::NoSd: return ToolText::tr("Sd must be above 0");
    case MechanicsFailure::NoAir: return ToolText::tr("air density and speed of sound must be above 0");
    case MechanicsFailure::NoFreeDriver: return ToolText::tr("the free driver's Fs, Qms and Qes are needed");
    case MechanicsFailure::NoMass: return ToolText::tr("the added mass must be above 0");
    case MechanicsFailure::LoadedNotBelow:
      return ToolText::tr("the loaded resonance (%1 Hz) is not below the free one (%2 Hz)").arg(n(f.a), n(f.b));
    case MechanicsFailure::NoBox: return ToolText::tr("the box volume must be above 0");
    case MechanicsFailure::BoxedNotAbove:
      return ToolText::tr("the boxed resonance (%1 Hz) is not above the free one (%2 Hz)").arg(n(f.a), n(f.b));
    case MechanicsFailure::NoBoxQes: return ToolText::tr("the boxed driver's Qes is needed");
    case MechanicsFailure::BoxGainTooSmall:
      return ToolText::tr("Fc·Qec (%1) is not above Fs·Qes (%2): the box measurement does not fit the free one")
          .arg(n(f.a), n(f.b));
    case MechanicsFailure::NotFinite: return ToolText::tr("the measurements give no finite result");
  }
  return QString();
}

QString LoadFailureText(LoadFailure failure, const QString& why) {
  switch (failure) {
    case LoadFailure::None: break;
    case LoadFailure::EmptyName: return ToolText::tr("the file name is empty");
    case LoadFailure::NoSuchFile: return ToolText::tr("no such file");
    case LoadFailure::Folder: return ToolText::tr("is a folder");
    case LoadFailure::CannotOpen: return ToolText::tr("cannot be read (no permission)");
    case LoadFailure::TooLarge: return ToolText::tr("larger than %1 MiB").arg(MaxCurveFileBytes / (1024 * 1024));
    case LoadFailure::NotData: return BadDataFileText();
    case LoadFailure::Unconvertible: return CalcDataErrorText();
    case LoadFailure::Table: return why;
  }
  return QString();
}

namespace {

QString Name(int param) { return QString::fromStdString(QcParamName(param)); }
QString Signed(double v) { return (v >= 0 ? QStringLiteral("+") : QString()) + QcNumber(v); }
QString Where(double f1, double f2) {
  return f1 == f2 ? QStringLiteral("%1 Hz").arg(QcNumber(f1)) : QStringLiteral("%1–%2 Hz").arg(QcNumber(f1), QcNumber(f2));
}

QString MissingText(const QcReason& r) {
  switch (r.missing) {
    case QcMissing::Analysis: return TsFailureText(r.tsFailure);
    case QcMissing::NoRe: return ToolText::tr("no re = OHMS given");
    case QcMissing::Fit: return FitFailureText(r.fitFailure);
    case QcMissing::Part: return PartFailureShortText(r.partFailure);
    default: return ToolText::tr("not a value of the fitted model");
  }
}

}  // namespace

QString QcReasonText(const QcReason& r) {
  const QString unit = r.percent ? QStringLiteral(" %") : r.channel == QcChannel::R ? QStringLiteral(" Ω") : QStringLiteral(" deg");
  switch (r.kind) {
    case QcReasonKind::OutsideBand:
      return ToolText::tr("%1 leaves the band at %2 by up to %3 (allowed ±%4)")
          .arg(r.channel == QcChannel::R ? QStringLiteral("R") : QString::fromUtf8("θ"), Where(r.f1, r.f2),
               Signed(r.measured) + unit, QcNumber(r.allowed) + unit);
    case QcReasonKind::NotCovered: return ToolText::tr("the curve does not cover the range %1").arg(Where(r.f1, r.f2));
    case QcReasonKind::NoPointInRange:
      return ToolText::tr("the curve has no point in the range %1").arg(Where(r.f1, r.f2));
    case QcReasonKind::OutsideLimit: {
      QString limit = QcInterval(r.lo, r.hi);
      if (r.percent) limit += QStringLiteral(" (%1 ±%2 %)").arg(QcNumber(r.refValue), QcNumber(r.allowed));
      return ToolText::tr("%1 %2 outside %3").arg(Name(r.param), QcNumber(r.measured), limit);
    }
    case QcReasonKind::NotDetermined: return ToolText::tr("%1 not determined: %2").arg(Name(r.param), MissingText(r));
    case QcReasonKind::NoReferenceValue: return ToolText::tr("the reference has no %1").arg(Name(r.param));
  }
  return {};
}

QString QcRuleErrorText(const QcRuleError& e) {
  using P = QcRuleProblem;
  switch (e.problem) {
    case P::NotKeyValue: return ToolText::tr("not a key = value line");
    case P::NoKey: return ToolText::tr("no key before =");
    case P::UnknownKey: return ToolText::tr("unknown key '%1'").arg(e.text);
    case P::Twice: return ToolText::tr("'%1' given twice").arg(e.text);
    case P::NoValue: return ToolText::tr("no value for '%1'").arg(e.text);
    case P::NotNumber: return ToolText::tr("'%1' is not a number or a percent").arg(e.text);
    case P::NotAngle: return ToolText::tr("'%1' is not an angle in deg").arg(e.text);
    case P::BadRange: return ToolText::tr("range takes FMIN FMAX in Hz, FMIN below FMAX: '%1'").arg(e.text);
    case P::BadRe: return ToolText::tr("re takes ohms above 0: '%1'").arg(e.text);
    case P::UpsideDown: return ToolText::tr("the interval's low end is above its high end: '%1'").arg(e.text);
    case P::NoReference: return ToolText::tr("no reference (reference = PATH or reference = mean)");
    case P::NeedsRe: return ToolText::tr("%1 needs re = OHMS").arg(e.text);
    case P::NotDetermined:
      return ToolText::tr("'%1' is not determined by the check's fit of one curve (semi coil, creep)").arg(e.text);
    case P::NothingToCheck: return ToolText::tr("nothing to check: no R, theta or parameter limit");
    case P::TooLarge: return ToolText::tr("too large for a rules file (1 MiB at most)");
    case P::Unreadable: return ToolText::tr("cannot be read");
    case P::ReferenceUnreadable:
      return ToolText::tr("the reference %1 cannot be read: %2").arg(e.text, LoadFailureText(e.load, e.detail));
    case P::ReferenceUnconvertible: return ToolText::tr("the reference %1 cannot be read: %2").arg(e.text, CalcDataErrorText());
    case P::NoMeanReference: return ToolText::tr("no readable file for the mean reference");
    case P::RangeEmpty:
      return e.text.isEmpty() ? ToolText::tr("the reference has no point")
                              : ToolText::tr("the range %1 Hz holds no point of the reference").arg(e.text);
  }
  return {};
}

QString FitFailureText(FitFailure failure) {
  switch (failure) {
    case FitFailure::None: return {};
    case FitFailure::NonFinite: return ToolText::tr("the data hold values that are not finite numbers");
    case FitFailure::TooFewPoints: return ToolText::tr("too few points in the frequency range (10 or more per curve)");
    case FitFailure::NoResonance: return ToolText::tr("no resonance peak in the frequency range");
    case FitFailure::BadRe: return ToolText::tr("Re must be above 0 and below the R of the resonance peak");
    case FitFailure::LoadedNotBelow: return ToolText::tr("the resonance with the added mass is not below the free one");
    case FitFailure::BoxedNotAbove: return ToolText::tr("the resonance in the closed box is not above the free one");
    case FitFailure::NeedsSd: return ToolText::tr("the closed-box curve needs Sd");
    case FitFailure::NotConverged: return ToolText::tr("the fit did not converge");
    case FitFailure::NoValue: return ToolText::tr("the fit gives no finite value: no resonance the model can describe in the range");
    case FitFailure::ReAboveMinimum: return ToolText::tr("Re is above the curve's smallest resistance (real part of Z)");
    case FitFailure::NoUncertainty:
      return ToolText::tr("the uncertainties cannot be computed (the data do not determine every parameter)");
    case FitFailure::VentedGivenClosed:
      return ToolText::tr("the box curve has two peaks: a vented box given as closed? (--vented)");
    case FitFailure::ClosedGivenVented:
      return ToolText::tr("the box curve has one peak: a closed box given as vented? (--closed)");
    case FitFailure::SecondPeakMissing:
      return ToolText::tr("the vented box's lower peak lies below the curve's range: measure from a lower frequency");
    case FitFailure::BadDriver:
      return ToolText::tr("the driver's values are incomplete: Fs and two of Qms, Qes, Qts are needed");
    case FitFailure::BadVolume: return ToolText::tr("the box volume must be above 0 and at most 10000 L");
  }
  return {};
}

QString FitFailureText(const FitResult& r) {
  if (r.failure != FitFailure::ReAboveMinimum) return FitFailureText(r.failure);
  return ToolText::tr("Re %1 Ω is above the curve's smallest resistance (real part of Z), %2 Ω, by more than a point's scatter: it is Re plus terms that are never negative")
      .arg(r.failureNumbers[0], 0, 'f', 3)
      .arg(r.failureNumbers[1], 0, 'f', 3);
}

QString FitWarningText(const FitNotice& n) {
  switch (n.what) {
    case FitWarning::PoorFit:
      return ToolText::tr("poor fit: the residual %1 % is above %2 % (try another voice-coil model or range)")
          .arg(n.a, 0, 'f', 2)
          .arg(PoorFitResidual * 100, 0, 'f', 0);
    case FitWarning::MassShift:
      return ToolText::tr("the added mass shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)")
          .arg(n.a, 0, 'f', 1);
    case FitWarning::BoxShift:
      return ToolText::tr("the closed box shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)")
          .arg(n.a, 0, 'f', 1);
    case FitWarning::MassBoxDisagree:
      return ToolText::tr("the added-mass and closed-box measurements disagree on Mms beyond their uncertainties "
                          "(%1 g and %2 g)")
          .arg(n.a, 0, 'f', 2)
          .arg(n.b, 0, 'f', 2);
    case FitWarning::ReAboveSmallestR:
      return ToolText::tr("the fitted Re %1 Ω lies above the curve's smallest resistance (real part of Z), %2 Ω, by more than its σ allows")
          .arg(n.a, 0, 'f', 3)
          .arg(n.b, 0, 'f', 3);
    case FitWarning::CoilModelsDisagreeOnRe:
      return ToolText::tr("the coil models disagree on Re: %1 Ω here, %2 Ω with the other coil model; give --re")
          .arg(n.a, 0, 'f', 3)
          .arg(n.b, 0, 'f', 3);
    case FitWarning::NoPhase: return ToolText::tr("no phase: magnitude fitted");
    case FitWarning::ClassicDisagree: {
      const ReportedValue& info = BoxValueInfoOf(int(n.a));
      return ToolText::tr("the fitted %1 and its classic estimate (%2 %3) disagree beyond their uncertainties")
          .arg(QString::fromUtf8(info.name), QString::number(n.b, 'g', 4), QString::fromUtf8(info.unit))
          .trimmed();
    }
  }
  return {};
}

QString BoxNoteText(BoxNote note) {
  switch (note) {
    case BoxNote::LossesCombined:
      return ToolText::tr("the curve does not tell the absorption (QA) and the port's loss (QP) apart: "
                          "their combination QB is given");
    case BoxNote::FreeBelowRange:
      return ToolText::tr("the free resonance lies below the free-air curve and was not measured: "
                          "Fs, Qts and Vas come from the free curve above it and the box");
    case BoxNote::LossesInQL:
      return ToolText::tr("without the driver the absorption and the port's loss are given as one, QB; "
                          "where a box has both, QL and Qms hold part of them");
    case BoxNote::ReFitted: return ToolText::tr("Re was not given: fitted");
  }
  return {};
}

QString DriverSourceText(DriverSource source) {
  switch (source) {
    case DriverSource::Free: return ToolText::tr("the driver from the free-air curve, fitted jointly with the box");
    case DriverSource::File: return ToolText::tr("the driver from the driver file");
    case DriverSource::Typed: return ToolText::tr("the driver from the values given");
    case DriverSource::BoxOnly: return ToolText::tr("no driver given: what the box curve determines by itself");
  }
  return {};
}

QString PartFailureText(const PartResult& r) {
  switch (r.failure) {
    case PartFailure::None: return {};
    case PartFailure::NonFinite: return FitFailureText(FitFailure::NonFinite);
    case PartFailure::NotConverged: return FitFailureText(FitFailure::NotConverged);
    case PartFailure::LooksLikeDriver:
      return ToolText::tr("the curve shows a driver's resonance, not a part (use fit or compensate)");
    case PartFailure::NotRecognised: return ToolText::tr("θ fits none of the parts: give --kind");
    case PartFailure::AtOutside:
      return ToolText::tr("--at lies outside the points fitted (%1–%2 Hz)")
          .arg(r.fittedLow, 0, 'f', 0)
          .arg(r.fittedHigh, 0, 'f', 0);
    case PartFailure::TooFewResolvable:
      if (r.suggestedBand > 0)
        return ToolText::tr("%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω): measure "
                            "band %5 (%6–%7 Hz) instead")
            .arg(r.leftOut)
            .arg(r.pointsGiven)
            .arg(UnitFloorOhm, 0, 'f', 2)
            .arg(UnitCeilingOhm, 0, 'f', 2)
            .arg(r.suggestedBand)
            .arg(r.suggestedLow, 0, 'f', 0)
            .arg(r.suggestedHigh, 0, 'f', 0);
      return ToolText::tr("%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω), and no band "
                          "of the unit resolves this part")
          .arg(r.leftOut)
          .arg(r.pointsGiven)
          .arg(UnitFloorOhm, 0, 'f', 2)
          .arg(UnitCeilingOhm, 0, 'f', 2);
  }
  return {};
}

QString PartFailureShortText(PartFailure failure) {
  switch (failure) {
    case PartFailure::None: return {};
    case PartFailure::NonFinite: return FitFailureText(FitFailure::NonFinite);
    case PartFailure::TooFewResolvable: return ToolText::tr("too few points within what the unit resolves");
    case PartFailure::LooksLikeDriver: return ToolText::tr("a driver's curve, not a part's");
    case PartFailure::NotRecognised: return ToolText::tr("θ fits none of the parts");
    case PartFailure::AtOutside: return ToolText::tr("a frequency asked for lies outside the curve");
    case PartFailure::NotConverged: return FitFailureText(FitFailure::NotConverged);
  }
  return {};
}

QString PartRecognisedText(PartKind kind) {
  switch (kind) {
    case PartKind::Inductor: return ToolText::tr("recognised from θ as an inductor");
    case PartKind::Capacitor: return ToolText::tr("recognised from θ as a capacitor");
    case PartKind::Resistor: return ToolText::tr("recognised from θ as a resistor");
    case PartKind::Auto: break;
  }
  return {};
}

QString PartLeftOutText(int leftOut, int given) {
  return ToolText::tr("%1 of %2 points left out: beyond what the unit resolves").arg(leftOut).arg(given);
}

QString CompFailureText(const CompensationResult& r) {
  switch (r.failure) {
    case CompFailure::None: return {};
    case CompFailure::NonFinite: return FitFailureText(FitFailure::NonFinite);
    case CompFailure::NoResonance:
      return ToolText::tr("no driver's resonance in the curve (a part's curve goes to kavo-tool part)");
    case CompFailure::DriverFit: return ToolText::tr("the driver's model: %1").arg(FitFailureText(r.fitFailure));
    case CompFailure::BadRe: return FitFailureText(FitFailure::BadRe);
    case CompFailure::BandOutside:
      return ToolText::tr("the band must lie within the curve and hold %1 points or more").arg(MinFitPoints);
    case CompFailure::NotConverged: return FitFailureText(FitFailure::NotConverged);
    case CompFailure::BadPower: return ToolText::tr("--power must be above 0 and at most %1 W").arg(MaxPowerW);
    case CompFailure::OtherDriver:
      return ToolText::tr("the driver file's Fs (%1 Hz) is far from the curve's resonance (%2 Hz): another driver's file?")
          .arg(r.driver.fs, 0, 'f', 1)
          .arg(r.peakHz, 0, 'f', 1);
  }
  return {};
}

bool IsJapanese(const QLocale& locale) {
  // The first language the user asked for (LC_ALL, LC_MESSAGES, LANG, LANGUAGE).
  const QStringList languages = locale.uiLanguages();
  const QLocale first = languages.isEmpty() ? locale : QLocale(languages.front());
  return first.language() == QLocale::Japanese;
}

bool UseLanguage(const QLocale& locale) {
  std::unique_ptr<QTranslator>& installed = Installed();
  if (installed) QCoreApplication::removeTranslator(installed.get());
  installed = std::make_unique<QTranslator>();
  const QString file = IsJapanese(locale) ? QStringLiteral(":/i18n/kavo-tool_ja.qm") : QStringLiteral(":/i18n/kavo-tool_en.qm");
  if (!installed->load(file)) {
    installed.reset();
    return false;
  }
  QCoreApplication::installTranslator(installed.get());
  return true;
}

QString CannotBeWrittenText() {
  const QString why = WriteErrorText();
  return why.isEmpty() ? ToolText::tr("cannot be written") : ToolText::tr("cannot be written (%1)").arg(why);
}

void Say(std::ostream& err, const char* command, const QString& text) {
  err << "kavo-tool";
  if (command) err << ' ' << command;
  err << ": " << Std(text) << '\n';
}

void SayFile(std::ostream& err, const char* command, const QString& file, const QString& reason, bool output) {
  if (file.isEmpty()) return Say(err, command, reason);
  const QString name = file != QLatin1String("-") ? file
                       : output                   ? ToolText::tr("standard output")
                                                  : ToolText::tr("standard input");
  Say(err, command, name + QStringLiteral(": ") + reason);
}

}  // namespace kavo::cli
