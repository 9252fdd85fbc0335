// Memo files: encodings and line breaks.

#include "exchange/memo_codec.h"

// Qt
#include <QStringDecoder>
#include <QStringEncoder>

// Std
#include <algorithm>

namespace vorlane {

// ICU's name for code page 932, which also maps the vendor extensions
// (circled digits, NEC and IBM kanji) that strict Shift-JIS lacks.
static constexpr char shiftJisName[] = "Shift_JIS";
static const QByteArray utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

static QString decodeBytes(const QByteArray &bytes)
{
    if (bytes.startsWith(utf8Bom)) {
        // The mark is not text, but a U+FEFF the text begins with is.
        QStringDecoder marked(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return QString(marked.decode(bytes)).mid(1);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    const bool isUtf8 = !utf8.hasError();
    // Japanese text written as UTF-8 holds three-byte sequences (kana,
    // kanji), whose lead bytes are E0 and above; valid UTF-8 made of
    // two-byte pairs alone is what half-width kana in Shift-JIS look like
    // ("ﾃｱ" is C3 B1, "ñ" in UTF-8), so such a file is read as Shift-JIS
    // when it reads so without error.
    const auto above = [&](uchar least) {
        return std::any_of(bytes.cbegin(), bytes.cend(), [=](char c) { return uchar(c) >= least; });
    };
    if (isUtf8 && (!above(0x80) || above(0xE0)))
        return text;
    QStringDecoder sjis(shiftJisName);
    if (!sjis.isValid())
        return isUtf8 ? text : QString::fromLatin1(bytes);
    const QString shiftJis = sjis.decode(bytes);
    return isUtf8 && sjis.hasError() ? text : shiftJis;
}

QString decodeMemo(const QByteArray &bytes)
{
    const QString raw = decodeBytes(bytes);
    QString text;
    text.reserve(raw.size() + 2);
    qsizetype start = 0;
    while (start < raw.size()) {
        qsizetype cr = raw.indexOf(QLatin1Char('\r'), start);
        if (cr < 0)
            cr = raw.size();
        text += QStringView(raw).mid(start, cr - start);
        text += QLatin1Char('\n');
        start = cr + 1;
        if (start < raw.size() && raw.at(start) == QLatin1Char('\n'))
            ++start;
    }
    return text;
}

QByteArray encodeMemo(const QString &text)
{
    QString full = text;
    full.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    full += QLatin1String("\r\n");
    // A character without a code comes out as a substitute rather than an
    // error, and Shift-JIS bytes can also be valid UTF-8 that reading takes
    // for UTF-8: so the test is whether the bytes read back, as a memo file
    // is read, to the same text.
    QStringEncoder sjis(shiftJisName);
    if (sjis.isValid()) {
        QByteArray bytes = sjis.encode(full);
        if (!sjis.hasError() && decodeBytes(bytes) == full)
            return bytes;
    }
    return utf8Bom + full.toUtf8();
}

QString memoStamp(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy年MM月dd日 HH時mm分ss秒"));
}

QString memoDate(QDate day) { return day.toString(QStringLiteral("yyyy年MM月dd日")); }

} // namespace vorlane
