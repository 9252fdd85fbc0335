#include "exchange/save_name.h"

namespace vorlane {

QString defaultSaveName(const QString &path)
{
    const qsizetype n = path.size();
    const qsizetype searchFrom = n > 4 ? n - 5 : 0;
    if (path.indexOf(u'.', searchFrom) < 0)
        return path;
    // Index i holds a dot; an index before the start holds none.
    const auto dotAt = [&path](qsizetype i) { return i >= 0 && path.at(i) == u'.'; };
    if (dotAt(n - 4))
        return path.left(n - 4);
    if (dotAt(n - 5))
        return path.left(n - 5);
    return path;
}

} // namespace vorlane
