#pragma once

#include <QFont>

#include "Layout.h"

class QWidget;

namespace quintora {

// Maps the font names of the layout onto the free look-alikes installed with
// the program (on Windows, only those the system lacks). Call once, after
// the application object is made and before any window is built.
void InstallFontSubstitutes();

// Loads the fonts, and shapes the texts, of the window's shown labels: the
// work its first frame would otherwise start with. Called while the display
// server maps the window, it fills time spent waiting.
void LoadShownFonts(const QWidget& window);

// A layout font sized in pixels at 96 dots per inch, so text keeps its size
// against the fixed pixel layout whatever the screen's resolution. Its family
// is the substitute installed by InstallFontSubstitutes, if there is one.
QFont LayoutFont(const layout::Font& font);

}  // namespace quintora
