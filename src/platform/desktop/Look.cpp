#include "platform/desktop/Look.h"

#include <QStringList>

namespace kavo {

QFont ProgramFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")});
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace kavo
