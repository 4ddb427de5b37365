// Driver files: the WinISD-style [Driver] section of key=value lines in SI
// units (Vas in m³, Le in H) that the model fit writes (FitReport's WdrText)
// and the box and compensation analyses read. The Comment line carries each
// value's σ as "NAME value ±σ" in the same units.
#pragma once

#include <QByteArray>
#include <QString>

#include "data/CurveFile.h"

namespace kavo {

// A driver's values, SI, each with its σ; 0 for one not known.
struct DriverParameters {
  double fs = 0, qms = 0, qes = 0, qts = 0, vas = 0, re = 0, le = 0;
  double fsSigma = 0, qmsSigma = 0, qesSigma = 0, qtsSigma = 0, vasSigma = 0, reSigma = 0;
};

// What a driver's σ is taken to be when nothing says: Fs ±1 %, the Q values
// ±3 % and Vas ±10 % (what the model fit's total σ gives a driver on a real
// curve: Fs within 1 %, Q values within 3 %, Vas through Sd's ±5 % squared);
// Re's is DefaultReSigma (analysis/ModelFit.h).
constexpr double DefaultFsSigma = 0.01, DefaultQSigma = 0.03, DefaultVasSigma = 0.10;

// A driver file is a few hundred bytes; anything larger than this is not one.
constexpr qint64 MaxDriverFileBytes = 1 << 20;

// The driver in `text`: Fs, Qms, Qes, Qts (two give the third), Vas (or Cms
// with the file's Sd, else `sd` in m²), Re, Le; σ from the Comment where it
// gives one, else the defaults above. False, `driver` untouched, when the
// text has no [Driver] section or lacks Fs and two of the Q values.
bool ParseDriverFile(const QByteArray& text, DriverParameters& driver, double sd = 0);

// ParseDriverFile of the file `file`: None, a reason of CheckInputFile, or
// NotData for anything but a regular file (a FIFO would hang the reader)
// and for a file that is not a driver file.
LoadFailure ReadDriverFile(const QString& file, DriverParameters& driver, double sd = 0);

}  // namespace kavo
