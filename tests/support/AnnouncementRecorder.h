#pragma once

#include <QAccessible>
#include <QObject>
#include <QStringList>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace quintora::test {

// While it lives, accessibility is on, as when a screen reader runs, and
// the announcements the window hands to Qt's accessibility (value changes
// that carry a text) are recorded as "source: text" between the window and
// the platform's bridge. Only what reaches Qt is seen here, not what the
// platform makes of it.
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
      if (value.typeId() == QMetaType::QString) announced() << event->object()->objectName() + ": " + value.toString();
    }
    if (next()) next()(event);
  }
};

}  // namespace quintora::test
