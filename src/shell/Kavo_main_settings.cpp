// Main window: reading the settings file on the first idle pass and writing
// it on every close request.
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "data/Kavo_file.h"
#include "messages/Ka_message.h"
#include "platform/Names.h"
#include "platform/Paths.h"
#include "shell/Kavo_main.h"

namespace kavo {

void TFormMain::LoadSettings(const QString& name) {
  const QString path = SettingsPath(name);
  if (fileHandler->ReadSettings(path, &settings, &view)) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens << s->geometry();
    const QRect place = PlaceWindow(view, screen ? screen->geometry() : QRect(0, 0, 1280, 1024), screens);
    // Applying one value resizes the window; the resize handler must not
    // copy the half-applied geometry back over the stored one meanwhile.
    geometryApplying = 1;
    move(place.topLeft());
    resize(place.size());
    geometryApplying = 0;

    mResetGraphScale(view.band);
    ComboBox2->setCurrentIndex(view.band - 1);
    MenuGraph_R_only->setChecked(view.fronly != 0);
    MenuGraph_Wide->setChecked(view.fwide != 0);
    MenuGraph_Ave->setChecked(view.fave3 != 0);
    MenuSet_Warning->setChecked(view.fwarning != 0);
    mSelectValueArrays();
    return;
  }
  // No file, unreadable or rejected: defaults, written at once.
  SetDefaults(settings);
  mWriteSettings(path);
}

void TFormMain::SaveSettings() { mWriteSettings(SettingsPath(QString::fromLatin1(SettingsFileName))); }

// The window's place and size as they are now.
void TFormMain::mRecordGeometry() {
  view.top = pos().y();
  view.left = pos().x();
  view.width = width();
  view.height = height();
}

// The view record from the window, then the file.
void TFormMain::mWriteSettings(const QString& path) {
  mRecordGeometry();
  view.band = ComboBox2->currentIndex() + 1;
  view.fronly = MenuGraph_R_only->isChecked();
  view.fwide = MenuGraph_Wide->isChecked();
  view.fave3 = MenuGraph_Ave->isChecked();
  view.fwarning = MenuSet_Warning->isChecked();
  MakeSettingsDir();  // made when first written, not when read
  if (!fileHandler->WriteSettings(path, &settings, &view)) msgCatalog->ShowIniSaveError();
}

}  // namespace kavo
