#include <QKeyEvent>
#include <QPushButton>

#include "frmCalculator.h"

namespace quintora {
namespace {

// The key code of the platform the calculator's key table uses: letters
// and digits keep their codes, Delete has its own, every other key has none.
std::int16_t KeyCode(const QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Delete) return Calculator::kDeleteKeyCode;
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
    return static_cast<std::int16_t>(key);
  }
  return 0;
}

std::int16_t ShiftState(const QKeyEvent* event) {
  const Qt::KeyboardModifiers m = event->modifiers();
  return static_cast<std::int16_t>((m & Qt::ShiftModifier ? 1 : 0) |
                                   (m & Qt::ControlModifier ? 2 : 0) |
                                   (m & Qt::AltModifier ? 4 : 0));
}

}  // namespace

void frmCalculator::keyPressEvent(QKeyEvent* event) { PreviewKey(event); }

// Keys aimed at a hidden button are taken before the button sees them, so a
// button never clicks itself on Space or Enter.
bool frmCalculator::eventFilter(QObject* watched, QEvent* event) {
  if (qobject_cast<QPushButton*>(watched)) {
    if (event->type() == QEvent::KeyPress) {
      PreviewKey(static_cast<QKeyEvent*>(event));
      return true;
    }
    if (event->type() == QEvent::KeyRelease) return true;
  }
  return QWidget::eventFilter(watched, event);
}

// The key-down handler hears every key; the character handler every typed
// character, except for Delete, which types none. Copying is a command of
// the window and types nothing either.
void frmCalculator::PreviewKey(QKeyEvent* event) {
  event->accept();
  engine_.Form_KeyDown(KeyCode(event), ShiftState(event));
  if (event->matches(QKeySequence::Copy)) {
    engine_.CopyButton_Click();
  } else if (event->key() != Qt::Key_Delete && !(event->modifiers() & Qt::AltModifier)) {
    for (const QChar ch : event->text()) {
      auto code = static_cast<std::int16_t>(ch.unicode());
      engine_.Form_KeyPress(code);
    }
  }
  ShowState();
}

}  // namespace quintora
