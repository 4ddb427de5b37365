// The analysis windows' Japanese texts for what the computation returns as
// codes and numbers: one place, beside the message catalogue.
#pragma once

#include <QString>

#include "analysis/Fitter.h"

namespace kavo {

QString FitFailureText(FitFailure failure);
QString FitWarningText(const FitNotice& notice);

}  // namespace kavo
