// kavo-tool: the files a command line names. "-" is standard input for a
// file that is read and standard output for one that is written; a file
// that cannot be opened is told apart from one whose contents are wrong;
// an output never replaces one of the command's inputs.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <iosfwd>
#include <memory>

#include "data/CurveFile.h"

namespace kavo::cli {

struct Command;

// Neither a measurement nor a table is larger; a file or standard input
// beyond it is refused.
constexpr qint64 MaxInputBytes = MaxCurveFileBytes;

// A file to read. The readers take a path: standard input is first copied
// whole into a temporary file.
class InputFile {
 public:
  // False with `reason` when the file cannot be read whatever it holds
  // (CheckInputFile), or when standard input was already taken by another
  // file or is too large.
  bool Open(const QString& name, QString& reason);
  const QString& Path() const { return path_; }

  // Standard input is read once per command: RunTool starts each afresh.
  static void ResetStandardInput();

 private:
  QString path_;
  std::unique_ptr<QTemporaryDir> copy_;
};

// A file to write. For "-" the writer writes a temporary file whose bytes
// go to standard output when it has succeeded.
class OutputFile {
 public:
  explicit OutputFile(const QString& target);
  bool ToStdout() const { return copy_ != nullptr; }
  const QString& Path() const { return path_; }
  // After a successful write: for "-", the bytes to `out`. False when the
  // temporary file cannot be read back.
  bool Deliver(std::ostream& out) const;

 private:
  QString path_;
  std::unique_ptr<QTemporaryDir> copy_;
};

// When `out` is the process's standard output: a reader that has gone away
// ends the command by SIGPIPE, quietly, as it ends any command of a pipe,
// even where a library (the printing system's) has chosen to ignore it.
void EndOnClosedPipe(const std::ostream& out);

// Bytes made in memory: to `out` for "-", otherwise into the file whole.
bool WriteOutput(const QString& target, const QByteArray& bytes, std::ostream& out);

// True when `a` and `b` name one file: the same canonical path, or, where
// both exist, the same device and inode. "-" is never the same file.
bool SameFile(const QString& a, const QString& b);

// True when `name` is a device or a pipe (/dev/stdout, /dev/fd/63): bytes
// go into it as they are, and its name says nothing of their kind.
bool IsStream(const QString& name);

// Proceed, or ExitUsage after the message when `target` would replace one
// of `inputs` or does not end in one of `suffixes` ("pdf", any case; "-", a
// device and a pipe pass).
int CheckOutput(const Command& command, const QString& target, const QStringList& inputs,
                std::initializer_list<const char*> suffixes, std::ostream& err);

}  // namespace kavo::cli
