#include "edit/undo_entry.h"

// Qt
#include <QList>

// Std
#include <cmath>

// Local
#include "app/numbers.h"

namespace vorlane {

QString formatUndoEntry(const UndoEntry &entry)
{
    return formatSingle(entry.size) + u',' + QString::number(entry.x) + u','
        + QString::number(entry.y) + u',' + QString::number(entry.w) + u','
        + QString::number(entry.h);
}

// An optional "-" then digits, and with fraction also "." and digits: the
// forms formatSingle and QString::number write.
static bool plainNumber(QStringView field, bool fraction)
{
    qsizetype i = field.startsWith(u'-') ? 1 : 0;
    qsizetype digits = 0;
    bool point = false;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && fraction && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

std::optional<UndoEntry> parseUndoEntry(QStringView text)
{
    const QList<QStringView> fields = text.split(u',');
    if (fields.size() != 5 || !plainNumber(fields[0], true))
        return std::nullopt;
    qint32 numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = plainNumber(fields[i + 1], false) ? fields[i + 1].toInt(&ok) : 0;
        if (!ok)
            return std::nullopt;
    }
    const float size = float(readNumber(fields[0]));
    if (!std::isfinite(size) || size <= 0 || numbers[2] < 1 || numbers[3] < 1)
        return std::nullopt;
    // A zoom too small for its seven written digits would be stored as 0,
    // which no later read accepts: it is no usable zoom now either.
    if (!(readNumber(formatSingle(size)) > 0))
        return std::nullopt;
    return UndoEntry{ size, numbers[0], numbers[1], numbers[2], numbers[3] };
}

} // namespace vorlane
