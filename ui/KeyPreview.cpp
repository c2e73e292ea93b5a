#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>

#include <optional>

#include "Panel.h"
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

// Ctrl and a letter for M+, M-, MR and MC: the index of the memory key.
std::optional<std::int16_t> MemoryKey(const QKeyEvent* event, Qt::KeyboardModifiers mods) {
  constexpr Qt::Key kLetters[] = {Qt::Key_P, Qt::Key_Q, Qt::Key_R, Qt::Key_L};
  if (mods != Qt::ControlModifier) return std::nullopt;
  for (std::int16_t i = 0; i < 4; ++i)
    if (event->key() == kLetters[i]) return i;
  return std::nullopt;
}

// The longest clipboard text that is pasted.
constexpr qsizetype kMaxPaste = 64;

// The characters a key types. The keypad's decimal key types the point
// whatever the keyboard layout makes of it.
QString TypedText(const QKeyEvent* event) {
  const bool keypadDecimal = (event->modifiers() & Qt::KeypadModifier) &&
                             (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
  return keypadDecimal ? QStringLiteral(".") : event->text();
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

// The window's own keys come first. Then the key-down handler hears every
// key and the character handler every typed character, except for Delete,
// which types none. Copying is a command of the window and types nothing.
void frmCalculator::PreviewKey(QKeyEvent* event) {
  event->accept();
  if (!WindowKey(event)) {
    engine_.Form_KeyDown(KeyCode(event), ShiftState(event));
    if (event->matches(QKeySequence::Copy)) {
      engine_.CopyButton_Click();
    } else if (event->key() != Qt::Key_Delete && !(event->modifiers() & Qt::AltModifier)) {
      TypeText(TypedText(event));
    }
  }
  ShowState();
}

// Keys for what the keyboard of the calculator itself lacks: taking back a
// key, closing a message, the memory keys, the about text and pasting. Each
// calls the handler that the matching click calls. Returns whether the key
// was one of them.
bool frmCalculator::WindowKey(const QKeyEvent* event) {
  const int key = event->key();
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (key == Qt::Key_Backspace && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    TakeBackKey();
  } else if (key == Qt::Key_Escape && PicMsg->isVisible()) {
    Image1_Click();
  } else if (key == Qt::Key_F1 && mods == Qt::NoModifier) {
    LbTeskold_Click();
  } else if (event->matches(QKeySequence::Paste)) {
    Paste();
  } else if (const std::optional<std::int16_t> memory = MemoryKey(event, mods)) {
    engine_.TeclaMemoria_Click(*memory);
  } else {
    return false;
  }
  return true;
}

// Backspace takes back the last key and lets the user go on where they were:
// the state saved before it, entry state included, and the focus where every
// key leaves it. Nothing is saved first, so a second Backspace changes nothing.
void frmCalculator::TakeBackKey() {
  engine_.RestoreStatus();
  SetFocus({ControlName::Operator, 4});
}

// Typed characters go to the character handler one by one. Where the
// system's decimal separator is a comma, a comma types the point.
void frmCalculator::TypeText(const QString& text) {
  const bool commaIsDecimal = QLocale::system().decimalPoint() == QLatin1String(",");
  for (QChar ch : text) {
    if (commaIsDecimal && ch == u',') ch = u'.';
    auto code = static_cast<std::int16_t>(ch.unicode());
    engine_.Form_KeyPress(code);
  }
}

// The clipboard's text is typed as if the user had typed it; an empty text
// or a long one (not a number someone copied) types nothing.
void frmCalculator::Paste() {
  const QString text = QGuiApplication::clipboard()->text().trimmed();
  if (!text.isEmpty() && text.size() <= kMaxPaste) TypeText(text);
}

}  // namespace quintora
