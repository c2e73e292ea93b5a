#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "Panel.h"
#include "SkinLabel.h"
#include "frmCalculator.h"

namespace quintora {
namespace {

QLabel* DisplayOf(const QWidget* widget) { return widget->window()->findChild<QLabel*>("Readout"); }

// A key label or mark: a push button whose press is a click.
class KeyLabelInterface final : public QAccessibleWidget {
 public:
  explicit KeyLabelInterface(SkinLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

  QStringList actionNames() const override { return {pressAction()}; }
  // The press runs once the tool's request has been answered: a key may open
  // a modal box, which must not hold up the tool.
  void doAction(const QString& name) override {
    if (name == pressAction()) QMetaObject::invokeMethod(static_cast<SkinLabel*>(widget()), &SkinLabel::press, Qt::QueuedConnection);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// The display: its text is its name and is readable through the text
// interface. Nothing in it can be selected or edited.
class DisplayInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit DisplayInterface(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? Text() : QAccessibleWidget::text(t);
  }

  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    return Text().mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return int(Text().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
  }

 private:
  QString Text() const { return static_cast<QLabel*>(widget())->text(); }
};

// A hidden button that holds the keyboard focus. It lies below the part of
// the window that is seen; to assistive tools it stands where the display is
// and is named by what the display shows. Its description says which key it
// is.
class HiddenKeyInterface final : public QAccessibleWidget {
 public:
  explicit HiddenKeyInterface(QPushButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return DisplayOf(widget())->text();
    return QAccessibleWidget::text(t);
  }
  QRect rect() const override { return QAccessible::queryAccessibleInterface(DisplayOf(widget()))->rect(); }
  QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction())
      QMetaObject::invokeMethod(static_cast<QPushButton*>(widget()), &QPushButton::click, Qt::QueuedConnection);
    else
      QAccessibleWidget::doAction(name);
  }
};

// The message panel, named by its message.
class PanelInterface final : public QAccessibleWidget {
 public:
  explicit PanelInterface(QWidget* panel) : QAccessibleWidget(panel, QAccessible::AlertMessage) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return widget()->findChild<QLabel*>("LbMensaje")->text();
    return QAccessibleWidget::text(t);
  }
};

// Decides by the object's own type only: it may be asked about a widget
// that is being destroyed, whose window no longer holds together.
QAccessibleInterface* CreateInterface(const QString&, QObject* object) {
  if (auto* label = qobject_cast<SkinLabel*>(object)) {
    if (label->objectName() == QLatin1String("Readout")) return new DisplayInterface(label);
    if (!label->accessibleName().isEmpty()) return new KeyLabelInterface(label);
    return nullptr;
  }
  if (auto* button = qobject_cast<QPushButton*>(object); button && qobject_cast<frmCalculator*>(button->parentWidget()))
    return new HiddenKeyInterface(button);
  if (auto* panel = dynamic_cast<Panel*>(object)) return new PanelInterface(panel);
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(CreateInterface);
    return true;
  }();
  (void)installed;
}

void AnnounceDisplayChange(QLabel* display, const QString& before) {
  if (!QAccessible::isActive()) return;
  QAccessibleTextUpdateEvent update(display, 0, before, display->text());
  QAccessible::updateAccessibility(&update);
  // The focused hidden button is named by the display.
  if (QWidget* focus = QApplication::focusWidget(); qobject_cast<QPushButton*>(focus) && focus->window() == display->window()) {
    QAccessibleEvent renamed(focus, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
  }
}

}  // namespace quintora
