// The catalogue of the main window's modal messages. Each message is one
// operation: it builds its text, shows the box through the modal seam (no
// owner window, so it works before and after the main window exists) and,
// for the questions, returns whether the user consented.
#pragma once

#include <QString>
#include <cstddef>

namespace kavo {

class TK_Message {
 public:
  // `caption` is copied into a 12-byte buffer: at most 11 bytes are kept, a
  // longer caption is cut (at a character boundary). nullptr gives "".
  TK_Message(const QString& modelName, const char* caption);

  TK_Message(const TK_Message&) = delete;
  TK_Message& operator=(const TK_Message&) = delete;

  const QString& ModelName() const { return modelName_; }
  QString Caption() const;

  // Errors: stop icon, OK.
  void ShowFatalMemoryError(const QString& objectName) const;
  void ShowDataFileError() const;
  void ShowComOpenError() const;
  // The port exists but this user may not open it: the text above, then the
  // device and the cure.
  void ShowComAccessError(const QString& device, const QString& group) const;
  void ShowUnitNotFound() const;
  void ShowCalcDataError() const;
  void ShowNoData() const;
  void ShowVersionMismatch() const;
  // The unit refused the band command ("NG").
  void ShowMeasureRefused() const;
  void ShowTooManyReferences() const;
  // The platform did not take the print job (no printer, an unwritable file).
  void ShowPrintError() const;

  // Warnings: exclamation icon, OK.
  void ShowIniSaveError() const;
  void ShowOverRange() const;

  // Questions: exclamation icon, Yes and No. True only for Yes.
  bool ConfirmDiscardAndMeasure() const;
  bool ConfirmDiscardData() const;
  bool ConfirmQuit() const;
  bool ConfirmDiscard() const;

  static constexpr std::size_t kCaptionSize = 12;

 private:
  void Error(const QString& text) const;
  void Warning(const QString& text) const;
  bool Question(const QString& text) const;

  QString modelName_;
  char caption_[kCaptionSize] = {};
};

// The one message shown when the catalogue itself cannot be created:
// "致命的なメモリエラーです:TK_Message" under "KAVO v2.1", as an error.
void ShowCatalogFatalError();

}  // namespace kavo
