#include "messages/Ka_message.h"

#include "messages/Ka_texts.h"
#include "platform/Modal.h"
#include "platform/Names.h"

#include <cstring>

namespace kavo {
namespace {

QString T(const char* text) { return QString::fromUtf8(text); }

QString FatalPrefix() { return T(msgtext::FatalMemoryPrefix); }

// Length of `text` cut to `limit` bytes without splitting a UTF-8 sequence.
std::size_t CutLength(const char* text, std::size_t limit) {
  std::size_t n = strnlen(text, limit + 1);
  if (n <= limit) return n;
  n = limit;
  // Back off over continuation bytes; then drop the lead byte they belong to.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace

TK_Message::TK_Message(const QString& modelName, const char* caption) : modelName_(modelName) {
  if (caption == nullptr) return;
  std::size_t n = CutLength(caption, kCaptionSize - 1);
  std::memcpy(caption_, caption, n);
  caption_[n] = '\0';
}

QString TK_Message::Caption() const { return QString::fromUtf8(caption_); }

void TK_Message::Error(const QString& text) const {
  Modal().Message(nullptr, Caption(), text, MsgIcon::Stop, MsgButtons::OK);
}

void TK_Message::Warning(const QString& text) const {
  Modal().Message(nullptr, Caption(), text, MsgIcon::Exclamation, MsgButtons::OK);
}

// Every question here throws a measurement away on Yes: a stray Return must
// not, so No is the default and Yes takes a deliberate Alt+Y or Tab, Return.
bool TK_Message::Question(const QString& text) const {
  return Modal().MessageWithDefault(nullptr, Caption(), text, MsgIcon::Exclamation, MsgButtons::YesNo,
                                    MsgResult::No) ==
         MsgResult::Yes;
}

void TK_Message::ShowFatalMemoryError(const QString& objectName) const {
  Error(FatalPrefix() + objectName);
}

void TK_Message::ShowIniSaveError() const {
  Warning(T(msgtext::IniSaveError));
}

void TK_Message::ShowDataFileError() const {
  Error(T(msgtext::DataFileError));
}

void TK_Message::ShowComOpenError() const {
  Error(T(msgtext::ComOpenError));
}

void TK_Message::ShowComAccessError(const QString& device, const QString& group) const {
  // Membership of the device's group opens it; dialout is the usual one, but
  // a device of another group (root, a vendor's) needs its own answer.
  const QString advice =
      group == QLatin1String("dialout")
          ? QStringLiteral("%1 を開く権限がありません。ユーザーをグループ dialout に加え"
                           "（sudo adduser $USER dialout）、ログインし直して下さい。")
                .arg(device)
          : QStringLiteral("%1 を開く権限がありません（グループ %2 のデバイスです）。"
                           "デバイスの権限を確認して下さい。")
                .arg(device, group);
  Error(QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。") + QLatin1Char('\n') + advice);
}

void TK_Message::ShowUnitNotFound() const {
  Error(T(msgtext::UnitNotFound));
}

void TK_Message::ShowCalcDataError() const {
  Error(T(msgtext::CalcDataError));
}

void TK_Message::ShowNoData() const { Error(T(msgtext::NoData)); }

bool TK_Message::ConfirmDiscardAndMeasure() const {
  return Question(T(msgtext::DiscardAndMeasure));
}

bool TK_Message::ConfirmDiscardData() const {
  return Question(T(msgtext::DiscardData));
}

bool TK_Message::ConfirmQuit() const {
  return Question(T(msgtext::Quit));
}

bool TK_Message::ConfirmDiscard() const {
  return Question(T(msgtext::Discard));
}

void TK_Message::ShowVersionMismatch() const {
  Error(T(msgtext::VersionMismatch));
}

void TK_Message::ShowMeasureRefused() const {
  Error(QStringLiteral("KA-Vユニットが測定を開始できませんでした。ユニットを確認して下さい。"));
}

void TK_Message::ShowTooManyReferences() const {
  Error(T(msgtext::TooManyReferences));
}

void TK_Message::ShowPrintError() const {
  Error(T(msgtext::PrintError));
}

void TK_Message::ShowOverRange() const {
  Warning(T(msgtext::OverRange));
}

void ShowCatalogFatalError() {
  Modal().Message(nullptr, QString::fromLatin1(ProgramCaption), FatalPrefix() + QStringLiteral("TK_Message"),
                  MsgIcon::Stop, MsgButtons::OK);
}

}  // namespace kavo
