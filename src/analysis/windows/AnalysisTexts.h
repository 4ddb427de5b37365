// The windows' words for what the computation and the file readers report as
// codes: the one place where they become Japanese. The message catalogue's
// texts are used where it has one.
#pragma once

#include <QString>

#include "data/CurveFile.h"

namespace kavo {

// Why a file did not become a data set; `why` is the table reader's own
// reason (naming the line) for LoadFailure::Table.
QString LoadFailureText(LoadFailure failure, const QString& why);

// "FILE：reason" as a window tells of a file it was given; the reason alone
// when no name was given.
QString FileFailureText(const QString& file, LoadFailure failure, const QString& why);

// A frequency range whose lower end is not below its upper end.
QString RangeReversedText();

}  // namespace kavo
