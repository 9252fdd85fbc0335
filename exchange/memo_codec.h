#pragma once

// Qt
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace vorlane {

// Memo files as bytes on disk and as the text the memo box holds. The box's
// text separates lines with "\n"; a file separates them with CR LF.

// The text a memo file shows. A file with a UTF-8 byte-order mark, or one
// that is valid UTF-8, is read as UTF-8, anything else as Shift-JIS (code
// page 932). Lines end at CR LF, at a lone CR or at the end of the file (a
// lone LF stays in its line); every line, the last one included, comes back
// followed by "\n". An empty file gives an empty text.
[[nodiscard]] QString decodeMemo(const QByteArray &bytes);

// The bytes a memo file holds for text: its lines separated by CR LF and
// followed by one more CR LF. Shift-JIS (code page 932) when every
// character can be written in it, so that the file stays readable on
// Japanese systems; otherwise UTF-8 with a byte-order mark, so that nothing
// typed is lost.
[[nodiscard]] QByteArray encodeMemo(const QString &text);

// "2001年11月05日 09時07分03秒": the change date shown beside a memo.
[[nodiscard]] QString memoStamp(const QDateTime &when);
// "2001年11月05日": the first line put into an empty memo.
[[nodiscard]] QString memoDate(QDate day);

} // namespace vorlane
