#pragma once

// Qt
#include <QString>

namespace vorlane {

// Whether an X server accepts connections at display, named as in $DISPLAY
// ("[host]:number[.screen]"; an empty host or "unix" means this machine's
// local socket). True when the name cannot be understood: the windowing
// system then decides.
[[nodiscard]] bool xDisplayReachable(const QString &display);

} // namespace vorlane
