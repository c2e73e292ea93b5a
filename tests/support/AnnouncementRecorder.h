#pragma once

#include <QAccessible>
#include <QObject>
#include <QStringList>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace quintora::test {

// While it lives, accessibility is on, as when a screen reader runs, and
// the announcements the window hands to Qt's accessibility are recorded as
// "source: text" between the window and the platform's bridge: value changes
// whose value is a text, from an object with an accessible interface, which
// is what Qt 6.4's Windows bridge needs to raise a UI Automation
// notification (qwindowsuiamainprovider.cpp, notifyValueChange). Only what
// reaches Qt is seen here, not what the platform makes of it.
class AnnouncementRecorder {
 public:
  AnnouncementRecorder() {
    Platform()->setActive(true);
    announced().clear();
    next() = QAccessible::installUpdateHandler(&Record);
  }
  ~AnnouncementRecorder() {
    QAccessible::installUpdateHandler(next());
    Platform()->setActive(false);
  }

  static QStringList& announced() {
    static QStringList list;
    return list;
  }

 private:
  static QPlatformAccessibility* Platform() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }
  static QAccessible::UpdateHandler& next() {
    static QAccessible::UpdateHandler handler = nullptr;
    return handler;
  }
  static void Record(QAccessibleEvent* event) {
    if (event->type() == QAccessible::ValueChanged) {
      const QVariant value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
      if (value.typeId() == QMetaType::QString && event->accessibleInterface())
        announced() << event->object()->objectName() + ": " + value.toString();
    }
    if (next()) next()(event);
  }
};

}  // namespace quintora::test
