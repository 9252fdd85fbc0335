#pragma once

// Qt
#include <QString>

namespace vorlane {

// The name the save dialog proposes for a picture path: the path without a
// three- or four-letter extension ("/p/a.jpg" gives "/p/a", "/p/b.jpeg"
// gives "/p/b"); any other path unchanged. Only a dot among the last five
// characters counts. May be empty.
[[nodiscard]] QString defaultSaveName(const QString &path);

} // namespace vorlane
