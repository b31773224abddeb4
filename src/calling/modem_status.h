#pragma once

#include <QString>
#include <optional>

// What the modem's registration and signal-quality replies show in the status bar: panel 3 whether the
// modem is logged on to the network, panel 4 the signal as bars.
namespace kestrova {

// Panel 3.
inline const QString kRegisteredText = QStringLiteral("已登入基地台");
inline const QString kNotRegisteredText = QStringLiteral("尚未登入基地台");
inline const QString kModemResetText = QStringLiteral("自動撥號器重開機");

// Whether a "+CREG:" reply (the text after the prefix, trimmed) says that the modem is registered: its
// second comma-separated field is exactly "1" (home network) or "5" (roaming).
bool IsRegistered(const QString& Reply);

// The bars for a "+CSQ:" reply (the text after the prefix, trimmed), from the leading number of its first
// field, rssi: five bands over 0 to 31. None for rssi 99 (no measurement) or any other value outside 0
// to 31: the panel then keeps its text.
std::optional<QString> SignalBarsText(const QString& Reply);

} // namespace kestrova
