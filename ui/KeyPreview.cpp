#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>

#include <optional>

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

// The keys the window adds to the calculator's own. Alt makes every key
// type nothing.
std::optional<AddedKey> AddedKeyOf(const QKeyEvent* event) {
  const int key = event->key();
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (mods & Qt::AltModifier) return std::nullopt;
  if (key == Qt::Key_Backspace && !(mods & Qt::ControlModifier)) return AddedKey::Backspace;
  if (key == Qt::Key_Escape) return AddedKey::Escape;
  if (key == Qt::Key_F1 && mods == Qt::NoModifier) return AddedKey::F1;
  if (mods == Qt::ControlModifier) {
    switch (key) {
      case Qt::Key_P: return AddedKey::MemoryPlus;
      case Qt::Key_Q: return AddedKey::MemoryMinus;
      case Qt::Key_R: return AddedKey::MemoryRecall;
      case Qt::Key_L: return AddedKey::MemoryClear;
      default: break;
    }
  }
  // The keypad's decimal key types the point whatever the layout makes of it.
  if ((event->modifiers() & Qt::KeypadModifier) && (key == Qt::Key_Period || key == Qt::Key_Comma))
    return AddedKey::KeypadDecimal;
  return std::nullopt;
}

// Whether the user's decimal separator is a comma.
bool DecimalComma() { return QLocale::system().decimalPoint() == QLatin1String(","); }

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

// Every key goes to the engine: paste and the keys the window adds to
// their own handlers; any other key to the key-down handler, then, unless it
// copies, types nothing (Delete) or is held with Alt, its characters to the
// character handler.
void frmCalculator::PreviewKey(QKeyEvent* event) {
  event->accept();
  if (event->matches(QKeySequence::Paste)) {
    engine_.Paste(QGuiApplication::clipboard()->text().toStdString(), DecimalComma());
  } else if (const std::optional<AddedKey> added = AddedKeyOf(event)) {
    engine_.AddedKey_Press(*added);
  } else {
    engine_.Form_KeyDown(KeyCode(event), ShiftState(event));
    if (event->matches(QKeySequence::Copy)) {
      engine_.CopyButton_Click();
    } else if (event->key() != Qt::Key_Delete && !(event->modifiers() & Qt::AltModifier)) {
      TypeText(event->text());
    }
  }
  ShowState();
}

// Typed characters go to the character handler one by one; a comma is a
// key the window adds, the point where it is the decimal separator.
void frmCalculator::TypeText(const QString& text) {
  for (const QChar ch : text) {
    if (ch == u',') {
      engine_.AddedKey_Press(DecimalComma() ? AddedKey::DecimalComma : AddedKey::Comma);
    } else {
      auto code = static_cast<std::int16_t>(ch.unicode());
      engine_.Form_KeyPress(code);
    }
  }
}

}  // namespace quintora
