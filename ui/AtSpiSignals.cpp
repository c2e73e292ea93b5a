#include "AtSpiSignals.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

// The application an event comes from: its bus name and its root object.
struct ObjectReference {
  QString service;
  QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ObjectReference& reference) {
  argument.beginStructure();
  argument << reference.service << reference.path;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ObjectReference& reference) {
  argument.beginStructure();
  argument >> reference.service >> reference.path;
  argument.endStructure();
  return argument;
}

}  // namespace

Q_DECLARE_METATYPE(ObjectReference)

namespace quintora::atspi {

void SendPropertyChange(QAccessibleInterface* object, QLatin1StringView property, const QString& value) {
  // The connection Qt's bridge opens to the accessibility bus, by its name.
  QDBusConnection bus(QStringLiteral("a11y"));
  if (!object || !bus.isConnected()) return;
  static const QMetaType registered = qDBusRegisterMetaType<ObjectReference>();
  (void)registered;

  // Object paths as the bridge gives them: the interface's unique id.
  const QString path = QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(object));
  QDBusMessage signal =
      QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
  signal << QString(property) << 0 << 0 << QVariant::fromValue(QDBusVariant(value))
         << QVariant::fromValue(ObjectReference{bus.baseService(), QDBusObjectPath("/org/a11y/atspi/accessible/root")});
  bus.send(signal);
}

}  // namespace quintora::atspi
