#pragma once

#include <QLatin1StringView>
#include <QString>

class QAccessibleInterface;

// AT-SPI events sent on the connection of Qt's own bridge, for what the
// bridge of Qt 6.4 does not send right.
namespace quintora::atspi {

inline constexpr QLatin1StringView kName{"accessible-name"};
inline constexpr QLatin1StringView kDescription{"accessible-description"};

// Tells AT-SPI clients that a property of the object changed to `value`.
// Does nothing while no client listens (the bridge is not connected).
void SendPropertyChange(QAccessibleInterface* object, QLatin1StringView property, const QString& value);

}  // namespace quintora::atspi
