// The one way every file of the program and of kavo-tool is written: whole
// or not at all. The bytes go to a new file beside the target, every write,
// the flush to the disk and the close are checked, and only then is the new
// file renamed over the target, so a failure leaves the old file byte for
// byte and nothing of the new one behind.
//
// A target that exists and is not a regular file (a character device such
// as /dev/null or /dev/full, a FIFO with a reader) is never replaced: the
// bytes are written into it directly, every write checked. A FIFO without a
// reader and a folder are refused. A symbolic link keeps pointing where it
// did; the file it names is the one replaced.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace kavo {

bool WriteWhole(const QString& target, const char* bytes, qint64 size);
inline bool WriteWhole(const QString& target, const QByteArray& bytes) {
  return WriteWhole(target, bytes.constData(), bytes.size());
}
inline bool WriteWhole(const QString& target, const std::string& bytes) {
  return WriteWhole(target, bytes.data(), static_cast<qint64>(bytes.size()));
}

// For writers that need a file name of their own (a PDF printer): a new file
// under a temporary name beside the target, put in the target's place by
// Commit. Dropped uncommitted, the temporary file goes and the target stays.
class PendingFile {
 public:
  explicit PendingFile(const QString& target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // False when no temporary file could be made (the target is refused, or
  // its folder cannot be written).
  bool Ready() const { return !temp_.isEmpty(); }
  // Where the writer puts the bytes.
  const QString& Path() const { return temp_; }
  // Flushes the written file to the disk and renames it over the target (or
  // copies it into a device target). False, target untouched, on any error.
  bool Commit();

 private:
  QString target_;
  QString temp_;
};

// Why the last write of this thread failed, in the system's words ("No
// space left on device", "Permission denied"), for the message that says
// so; empty when no reason was recorded.
QString WriteErrorText();
// Records why a write failed (an errno value; 0 forgets the last reason).
void SetWriteError(int error);
// For a file that a writer of its own left incomplete (a printer): appends
// one byte to the doomed file and records why that fails (a full disk, a
// size limit), EIO when it does not.
void ProbeWriteError(const QString& path);

// True when the PDF at `path` ends in its trailer and the trailer's offset
// points at the cross-reference table: a PDF writer that lost a write on
// the way (a full disk) leaves one or the other wrong.
bool PdfComplete(const QString& path);

}  // namespace kavo
