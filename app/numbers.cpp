#include "app/numbers.h"

// Std
#include <cmath>
#include <limits>

namespace vorlane {

double readNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += text[i++];
    const qsizetype digitsStart = number.size();
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
        number += text[i++];
    bool anyDigits = number.size() > digitsStart;
    if (i < n && text[i] == u'.') {
        number += u'.';
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            number += text[i++];
            anyDigits = true;
        }
    }
    if (!anyDigits)
        return 0;
    // QString::toDouble is locale-independent (C locale).
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok)
        return value;
    // Only an out-of-range digit string fails: it is as large as it looks.
    return number.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                   : std::numeric_limits<double>::infinity();
}

static qint32 clampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (value <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(value);
}

qint32 toInt32(double value)
{
    // nearbyint rounds halves to even in the default rounding mode.
    return clampToInt32(std::nearbyint(value));
}

qint32 floorToInt32(double value)
{
    return clampToInt32(std::floor(value));
}

QString formatSingle(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(double(value), 'g', 7);
    if (text.contains(u'e')) {
        // Large or tiny values: fixed notation keeps the text a plain number
        // that readNumber reads back.
        text = QString::number(double(value), 'f', 7);
        if (text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        }
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

} // namespace vorlane
