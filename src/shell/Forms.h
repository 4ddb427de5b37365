// The program's windows besides the main one. They are created once, in a
// fixed order, at start-up and stay hidden until a command shows them.
#pragma once

class QWidget;

namespace kavo {

class TFormMain;
class TFormDebug;
class TFormSetting;
class TFormPrnInfo;
class TFormSetColor;
class TFormVersion;
class TFormCalc;
class TFormTS;
class TForm_Re;
class TFormFit;
class TFormBox;
class TFormPart;
class TFormComp;

struct AppForms {
  TFormMain* main = nullptr;
  TFormDebug* debug = nullptr;
  TFormSetting* setting = nullptr;
  TFormPrnInfo* prnInfo = nullptr;
  TFormSetColor* setColor = nullptr;
  TFormVersion* version = nullptr;
  TFormCalc* calc = nullptr;
  TFormTS* ts = nullptr;
  TForm_Re* re = nullptr;
  TFormFit* fit = nullptr;
  TFormBox* box = nullptr;
  TFormPart* part = nullptr;
  TFormComp* comp = nullptr;
};

AppForms& Forms();
// Creates the windows in their start-up order; the main window first.
// Returns the main window (check mStartupFailed()).
TFormMain* CreateForms();
// Destroys what CreateForms made (the main window last).
void DestroyForms();

}  // namespace kavo
