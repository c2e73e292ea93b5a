#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "Panel.h"
#include "SkinLabel.h"
#include "Spoken.h"
#include "frmCalculator.h"

#ifdef QUINTORA_ATSPI
#include "AtSpiSignals.h"
#endif

namespace quintora {
namespace {

// What a widget of the window is to assistive tools. Decided by the
// object's own type and name only: tools may ask about a widget that is
// being destroyed, whose window no longer holds together.
enum class Part { None, Window, Display, MemoryFlag, Key, Panel, PanelText, FocusKeeper };

Part PartOf(const QObject* object) {
  if (qobject_cast<const frmCalculator*>(object)) return Part::Window;
  if (dynamic_cast<const Panel*>(object)) return Part::Panel;
  if (const auto* button = qobject_cast<const QPushButton*>(object))
    return qobject_cast<frmCalculator*>(button->parentWidget()) ? Part::FocusKeeper : Part::None;
  const auto* label = qobject_cast<const SkinLabel*>(object);
  if (!label) return Part::None;
  if (label->objectName() == QLatin1String("Readout")) return Part::Display;
  if (label->objectName() == QLatin1String("lblMemoFlag")) return Part::MemoryFlag;
  if (!label->accessibleName().isEmpty()) return Part::Key;
  if (dynamic_cast<const Panel*>(label->parentWidget())) return Part::PanelText;
  return Part::None;  // labels without a name of their own: Label2, Label3
}

bool Presented(const QObject* object) {
  switch (PartOf(object)) {
    case Part::Display:
    case Part::MemoryFlag:
    case Part::Key:
    case Part::Panel:
    case Part::PanelText: return true;
    default: return false;
  }
}

QLabel* DisplayOf(const QWidget* widget) { return widget->window()->findChild<QLabel*>("Readout"); }

bool HiddenButtonHasFocus(const QWidget* window) {
  const QWidget* focus = QApplication::focusWidget();
  return focus && focus->window() == window && PartOf(focus) == Part::FocusKeeper;
}

// A container that shows tools only the children worth presenting: no
// hidden buttons, unnamed labels or decoration.
class ContainerInterface : public QAccessibleWidget {
 public:
  ContainerInterface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  int childCount() const override { return int(Children().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> children = Children();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child ? int(Children().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
  }

 private:
  QList<QWidget*> Children() const {
    QList<QWidget*> children;
    for (QObject* object : widget()->children())
      if (Presented(object)) children << static_cast<QWidget*>(object);
    return children;
  }
};

// The window: a frame named by its title. While a hidden button has the
// keyboard focus, the display is the focused part.
class WindowInterface final : public ContainerInterface {
 public:
  explicit WindowInterface(QWidget* window) : ContainerInterface(window, QAccessible::Window) {}

  QAccessibleInterface* focusChild() const override {
    if (HiddenButtonHasFocus(widget())) return QAccessible::queryAccessibleInterface(DisplayOf(widget()));
    return QAccessibleWidget::focusChild();
  }
};

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

// The display: a status bar (screen readers speak a label's name changes
// nowhere, and have a command that reads the status bar), named by its value
// in spoken form, described by the memory state, and read through the text
// interface exactly as shown. It has the focus while a hidden button has it.
// Nothing in it can be selected or edited.
class DisplayInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit DisplayInterface(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QString::fromStdString(SpokenNumber(Text().toStdString()));
    if (t == QAccessible::Description) {
      const QLabel* memory = widget()->window()->findChild<QLabel*>("lblMemoFlag");
      return memory ? memory->accessibleName() : QString();
    }
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    s.focused = HiddenButtonHasFocus(widget()->window());
    return s;
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

// The message panel: a notification named by its message.
class PanelInterface final : public ContainerInterface {
 public:
  explicit PanelInterface(QWidget* panel) : ContainerInterface(panel, QAccessible::Notification) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return widget()->findChild<QLabel*>("LbMensaje")->text();
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* CreateInterface(const QString&, QObject* object) {
  switch (PartOf(object)) {
    case Part::Window: return new WindowInterface(static_cast<QWidget*>(object));
    case Part::Display: return new DisplayInterface(static_cast<QLabel*>(object));
    case Part::MemoryFlag: return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    case Part::Key: return new KeyLabelInterface(static_cast<SkinLabel*>(object));
    case Part::Panel: return new PanelInterface(static_cast<QWidget*>(object));
    default: return nullptr;  // Qt's own
  }
}

// An announcement: a value change that carries the words to say.
class AnnouncementEvent final : public QAccessibleValueChangeEvent {
 public:
  AnnouncementEvent(QObject* source, News news, const QString& spoken)
      : QAccessibleValueChangeEvent(source, spoken), news(news) {}
  const News news;
};

// Hands an event on to the platform's bridge.
void Forward(QAccessibleEvent* event) {
  const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(self);
}

#ifdef QUINTORA_ATSPI
// Qt 6.4's AT-SPI bridge drops announcements (a value change without a
// value interface) and sends the object in place of the text in name and
// description changes, which screen readers then cannot speak. Those are
// sent here with their text: the display's value as its new name and the
// memory state as its new description, on the display, where the focus is;
// a message as the notification's showing. Returns whether the event was
// dealt with.
bool SentOverAtSpi(QAccessibleEvent* event) {
  QAccessibleInterface* source = event->accessibleInterface();
  if (!source) return false;
  if (const auto* announcement = dynamic_cast<const AnnouncementEvent*>(event)) {
    switch (announcement->news) {
      case News::DisplayValue:
        atspi::SendPropertyChange(source, atspi::kName, announcement->value().toString());
        break;
      case News::MemoryState:
        atspi::SendPropertyChange(source, atspi::kDescription, announcement->value().toString());
        break;
      case News::Message: {
        QAccessibleEvent shown(event->object(), QAccessible::ObjectShow);
        Forward(&shown);
        break;
      }
    }
    return true;
  }
  const Part part = PartOf(event->object());
  switch (event->type()) {
    case QAccessible::ObjectShow:
      return part == Part::Panel;  // shown by its announcement, once its text is in
    case QAccessible::NameChanged:
      if (part != Part::Display) atspi::SendPropertyChange(source, atspi::kName, source->text(QAccessible::Name));
      return true;  // the display's are its announcements
    case QAccessible::DescriptionChanged:
      atspi::SendPropertyChange(source, atspi::kDescription, source->text(QAccessible::Description));
      return true;
    default:
      return false;
  }
}
#endif

// The widget that had the keyboard focus before the one that has it now,
// kept whether or not a tool listens: one may start while a hidden button
// has the focus.
QPointer<QWidget> previousFocus;

// Every accessibility event passes here before it reaches the platform.
// The focus of a hidden button is the display's, and a move from one hidden
// button to another is no move at all.
void AdaptEvent(QAccessibleEvent* event) {
  if (event->type() == QAccessible::Focus && PartOf(event->object()) == Part::FocusKeeper) {
    if (PartOf(previousFocus) == Part::FocusKeeper) return;
    QAccessibleEvent focus(DisplayOf(static_cast<QWidget*>(event->object())), QAccessible::Focus);
    Forward(&focus);
    return;
  }
#ifdef QUINTORA_ATSPI
  if (SentOverAtSpi(event)) return;
#endif
  Forward(event);
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(CreateInterface);
    QAccessible::installUpdateHandler(AdaptEvent);
    QObject::connect(qApp, &QApplication::focusChanged, [](QWidget* old, QWidget*) { previousFocus = old; });
    return true;
  }();
  (void)installed;
}

void Announce(QWidget* source, News news, const QString& spoken) {
  if (!QAccessible::isActive()) return;
  AnnouncementEvent event(source, news, spoken);
  QAccessible::updateAccessibility(&event);
}

}  // namespace quintora
