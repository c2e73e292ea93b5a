#include "Calculator.h"

namespace quintora {

// The display text goes to the clipboard exactly as shown; nothing else
// changes, not even the focus.
void Calculator::CopyButton_Click() { window_.SetClipboardText(Readout); }

}  // namespace quintora
