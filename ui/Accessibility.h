#pragma once

class QString;
class QWidget;

// What assistive tools (AT-SPI on Linux, UI Automation on Windows) see of
// the calculator window: a frame named Quintora holding the display, the
// memory indicator, the key labels and marks as push buttons that can be
// pressed, and the message panel as a notification. The hidden buttons that
// hold the keyboard focus are not shown to them: while one of them has the
// focus, the display has it, so a screen reader stays on the display while
// keys move the focus among the buttons.
namespace quintora {

void InstallAccessibility();

// What an announcement tells.
enum class News { DisplayValue, MemoryState, Message };

// Tells assistive tools news in the words a screen reader says: the
// display's new value or the memory state (source: the display), or a
// message (source: the message panel). It reaches them as a value change
// carrying the text, which Qt's Windows bridge raises as a UI Automation
// notification; on Linux it is translated into the AT-SPI events screen
// readers speak.
void Announce(QWidget* source, News news, const QString& spoken);

}  // namespace quintora
