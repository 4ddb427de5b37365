// kavo-tool's files: see cli/Files.h.
#include "cli/Files.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <iostream>
#include <sys/stat.h>

#include "cli/CommandLine.h"
#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/WholeFile.h"
#include "platform/Paths.h"

namespace kavo::cli {
namespace {

bool stdinTaken = false;

bool IsStdio(const QString& name) { return name == QLatin1String("-"); }

// Standard input whole into `file`; false with `reason` when it is too large or cannot be read.
bool CopyStandardInput(const QString& file, QString& reason) {
  QFile copy(file);
  if (!copy.open(QIODevice::WriteOnly)) {
    reason = ToolText::tr("cannot make a temporary copy");
    return false;
  }
  char buffer[65536];
  qint64 total = 0;
  while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
    total += std::cin.gcount();
    if (total > MaxInputBytes) {
      reason = LoadFailureText(LoadFailure::TooLarge, QString());
      return false;
    }
    if (copy.write(buffer, std::cin.gcount()) != std::cin.gcount()) {
      reason = ToolText::tr("cannot make a temporary copy");
      return false;
    }
  }
  if (std::cin.bad()) {
    reason = ToolText::tr("cannot be read");
    return false;
  }
  std::cin.clear();
  return copy.flush();
}

// `bytes` to standard output, flushed; false, with the reason recorded,
// when it does not take them.
bool ToStandardOutput(const QByteArray& bytes, std::ostream& out) {
  EndOnClosedPipe(out);
  errno = 0;
  out.write(bytes.constData(), bytes.size());
  out.flush();
  if (out) return true;
  SetWriteError(errno);
  return false;
}

}  // namespace

void InputFile::ResetStandardInput() { stdinTaken = false; }

void EndOnClosedPipe(const std::ostream& out) {
  if (&out == &std::cout) std::signal(SIGPIPE, SIG_DFL);
}

bool InputFile::Open(const QString& name, QString& reason) {
  if (IsStdio(name)) {
    if (stdinTaken) {
      reason = ToolText::tr("already read for another file");
      return false;
    }
    stdinTaken = true;
    copy_ = std::make_unique<QTemporaryDir>();
    path_ = copy_->filePath(QStringLiteral("stdin"));
    return copy_->isValid() && CopyStandardInput(path_, reason);
  }
  path_ = name;
  const LoadFailure failure = CheckInputFile(name, MaxInputBytes);
  if (failure == LoadFailure::None) return true;
  reason = LoadFailureText(failure, QString());
  return false;
}

OutputFile::OutputFile(const QString& target) : path_(target) {
  if (!IsStdio(target)) return;
  copy_ = std::make_unique<QTemporaryDir>();
  path_ = copy_->filePath(QStringLiteral("stdout"));
}

bool OutputFile::Deliver(std::ostream& out) const {
  if (!copy_) return true;
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  return ToStandardOutput(bytes, out);
}

bool WriteOutput(const QString& target, const QByteArray& bytes, std::ostream& out) {
  if (!IsStdio(target)) return SaveText(target, bytes.toStdString());
  return ToStandardOutput(bytes, out);
}

bool IsStream(const QString& name) {
  struct stat st {};
  return ::stat(QFile::encodeName(name).constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool SameFile(const QString& a, const QString& b) {
  return !IsStdio(a) && !IsStdio(b) && kavo::SameFile(a, b);
}

int CheckOutput(const Command& command, const QString& target, const QStringList& inputs,
                std::initializer_list<const char*> suffixes, std::ostream& err) {
  for (const QString& input : inputs)
    if (SameFile(target, input))
      return UsageError(command, ToolText::tr("%1: the output would replace the input %2").arg(target, input), err);
  if (IsStdio(target) || IsStream(target) || suffixes.size() == 0) return Proceed;
  const QString suffix = QFileInfo(target).suffix().toLower();
  QStringList allowed;
  for (const char* s : suffixes) {
    if (suffix == QLatin1String(s)) return Proceed;
    allowed << QLatin1Char('.') + QLatin1String(s);
  }
  return UsageError(command, ToolText::tr("%1: the output must end in %2").arg(target, allowed.join(QStringLiteral(", "))),
                    err);
}

}  // namespace kavo::cli
