#include "app/vane.h"

// Local
#include "browse/paths.h"

namespace vorlane {

QString VANE::GetMemoFile() const
{
    // A current path too short to have a base path has no memo file.
    return memoFileFor(m_fname).value_or(QString());
}

} // namespace vorlane
