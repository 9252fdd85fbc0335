#include "edit/dialog_formats.h"

// Std
#include <cmath>

namespace vorlane {

QString formatWhole(double value)
{
    const double whole = std::round(value);
    if (!std::isfinite(whole) || whole == 0)
        return {};
    return QString::number(whole, 'f', 0);
}

QString formatTwoDecimals(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral(".");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const double cents = std::round(std::fabs(value) * 100);
    // Beyond 2^53 there are no fractions left to write.
    if (cents >= 9.0e15)
        return sign + QString::number(std::round(std::fabs(value)), 'f', 0) + u'.';
    const qint64 all = qint64(cents);
    const qint64 whole = all / 100;
    QString fraction = QString::number(all % 100).rightJustified(2, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole == 0 && fraction.isEmpty())
        return QStringLiteral(".");
    return sign + (whole == 0 ? QString() : QString::number(whole)) + u'.' + fraction;
}

} // namespace vorlane
