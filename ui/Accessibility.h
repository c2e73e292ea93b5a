#pragma once

class QLabel;
class QString;

// What assistive tools (AT-SPI on Linux, UI Automation on Windows) see of
// the calculator window: its key labels and marks as push buttons that can
// be pressed, the display with its text, the message panel as an alert, and
// the hidden buttons that hold the keyboard focus as the display's stand-ins
// on it, so that a screen reader following the focus says the result.
namespace quintora {

void InstallAccessibility();

// Tells assistive tools that the display changed from `before`.
void AnnounceDisplayChange(QLabel* display, const QString& before);

}  // namespace quintora
