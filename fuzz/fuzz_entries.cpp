#include "fuzz/fuzz_entries.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// Std
#include <algorithm>
#include <cmath>
#include <cstdlib>

// Local
#include "app/command_line.h"
#include "app/numbers.h"
#include "edit/undo_entry.h"
#include "exchange/memo_codec.h"
#include "platform/qt_picture_service.h"
#include "platform/wmf/decoder.h"

namespace vorlane::fuzz {

namespace {

    // A fault the sanitizers cannot see: report it as a crash, so the fuzzer
    // keeps the input.
    void require(bool condition)
    {
        if (!condition)
            std::abort();
    }

} // namespace

void metafile(const QByteArray &bytes)
{
    const std::optional<DecodedMetafile> decoded = decodeWmf(bytes, 96, 96);
    if (decoded)
        require(!decoded->image.isNull());
}

void pictureLoad(const QByteArray &bytes)
{
    // One file, rewritten for each input: in memory when the system offers it.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isDir()
            ? QStringLiteral("/dev/shm/vorlane-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/vorlane-fuzz-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("picture"));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    require(file.write(bytes) == bytes.size());
    file.close();
    const std::optional<DecodedPicture> decoded = decodePictureFile(path, 96, 96);
    if (decoded) {
        require(!decoded->image.isNull());
        require(qint64(decoded->image.width()) * decoded->image.height()
            <= QtPictureService::maxPixels);
    }
}

void commandLine(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const CommandLine cl = parseCommandLine(text);
    require(cl.empty == text.isEmpty());
    require(!cl.empty || (cl.path.isEmpty() && !cl.saveAtExit));
    const QString absolute = absoluteCommandPath(cl.path, QStringLiteral("/home/user"));
    require(cl.path.isEmpty() ? absolute.isEmpty() : absolute.startsWith(QLatin1Char('/')));
    // Stripping quotes again finds nothing more to strip.
    const QString stripped = StripQuotes(text);
    require(StripQuotes(stripped) == stripped);
}

void numbers(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const double value = readNumber(text);
    require(!std::isnan(value));
    const qint32 rounded = toInt32(value);
    const qint32 floored = floorToInt32(value);
    require(floored <= rounded);
    // A single-precision number written with its seven digits reads back
    // as nearly the same number.
    if (std::isfinite(value) && std::abs(value) < 3.0e38) {
        const double single = float(value);
        const double back = readNumber(formatSingle(float(single)));
        require(std::abs(back - single) <= std::max(std::abs(single) * 1e-6, 1e-7));
    }
}

void undoEntry(const QByteArray &bytes)
{
    const std::optional<UndoEntry> entry = parseUndoEntry(QString::fromUtf8(bytes));
    if (!entry)
        return;
    const QString text = formatUndoEntry(*entry);
    const std::optional<UndoEntry> again = parseUndoEntry(text);
    require(again && formatUndoEntry(*again) == text);
}

void memo(const QByteArray &bytes)
{
    // Every line read comes back followed by "\n", and a CR always ends a
    // line, so none is left in the text.
    const QString text = decodeMemo(bytes);
    require(text.isEmpty() || text.endsWith(QLatin1Char('\n')));
    require(!text.contains(QLatin1Char('\r')));
    require(decodeMemo(encodeMemo(text)) == text + QLatin1Char('\n'));
    // Any text without a CR, as typed, is written without losing a character.
    QString typed = QString::fromUtf8(bytes);
    typed.remove(QLatin1Char('\r'));
    require(decodeMemo(encodeMemo(typed)) == typed + QLatin1Char('\n'));
}

Entry entryNamed(const QString &name)
{
    if (name == QLatin1String("metafile"))
        return &metafile;
    if (name == QLatin1String("picture_load"))
        return &pictureLoad;
    if (name == QLatin1String("command_line"))
        return &commandLine;
    if (name == QLatin1String("numbers"))
        return &numbers;
    if (name == QLatin1String("undo_entry"))
        return &undoEntry;
    if (name == QLatin1String("memo"))
        return &memo;
    return nullptr;
}

} // namespace vorlane::fuzz
