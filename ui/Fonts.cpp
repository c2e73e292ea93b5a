#include "Fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>

#include "LayoutQt.h"

namespace quintora {

void InstallFontSubstitutes() {
  static constexpr std::pair<const char*, const char*> kSubstitutes[] = {
      {"Comic Sans MS", "Comic Neue"},     {"MS Sans Serif", "Liberation Sans"},
      {"Arial", "Liberation Sans"},        {"Verdana", "DejaVu Sans"},
      {"Courier", "Liberation Mono"},      {"Courier New", "Liberation Mono"},
      {"System", "DejaVu Sans"},
  };
  for (const auto& [name, substitute] : kSubstitutes) {
#ifdef Q_OS_WIN
    // Windows has the layout's fonts themselves; a look-alike stands in
    // only for one that is missing.
    if (QFontDatabase::hasFamily(QString::fromLatin1(name))) continue;
#endif
    QFont::insertSubstitution(name, substitute);
  }
}

void LoadShownFonts(const QWidget& window) {
  for (const QLabel* label : window.findChildren<QLabel*>())
    if (label->isVisibleTo(&window) && !label->text().isEmpty())
      QFontMetrics(label->font()).horizontalAdvance(label->text());
}

QFont LayoutFont(const layout::Font& font) {
  // The look-alike by its own name. Asked for by the layout's name, which is
  // not installed, Qt would first have fontconfig sort every installed font
  // as fallbacks for that name, a costly query per name, only to arrive at
  // the same face.
  QFont result(QFont::substitute(QString::fromLatin1(font.family)));
  result.setPixelSize(PointsToPixels(font.points));
  result.setBold(font.bold);
  return result;
}

}  // namespace quintora
