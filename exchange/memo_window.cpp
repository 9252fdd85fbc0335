// The memo window and its memo files.

#include "exchange/memo_window.h"

// Qt
#include <QCheckBox>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

// Std
#include <algorithm>
#include <cmath>

// Local
#include "app/settings_keys.h"
#include "exchange/memo_codec.h"
#include "platform/dialog_runner.h"
#include "platform/screen_service.h"

namespace vorlane {

static const QString noDate = QStringLiteral("---");

// A file larger than any memo typed here: only its beginning is read and
// shown, read-only, and it is never written back, so nothing of it is lost.
static constexpr qint64 largestMemo = 1 << 20;
static constexpr qint64 shownBeginning = 64 << 10;
// Laying out one line of text takes time in proportion to its length, and
// more than that when it has no space to wrap at, whatever the wrapping
// settings (about a second for a million characters): a memo with a longer
// line is shown as a large file is, its lines cut to this length.
static constexpr qsizetype longestLine = 4096;
static const QString partNote = QStringLiteral(
    "（メモとしては大きすぎるため、先頭だけを表示しています。編集・保存はできません）");

// The beginning shown of the bytes read from a file: those bytes when
// they are the whole file, else at most shownBeginning of them, ending at a
// line break, or else after a one-byte character, so that no character is
// cut in two in either encoding a memo may have (failing both, at a UTF-8
// character's start).
static QByteArray beginningOf(const QByteArray &bytes)
{
    const QByteArray part = bytes.left(shownBeginning);
    if (part.size() == bytes.size())
        return part;
    qsizetype end = std::max(part.lastIndexOf('\n'), part.lastIndexOf('\r')) + 1;
    for (qsizetype i = part.size(); end == 0 && i > 0; --i) {
        if (uchar(part.at(i - 1)) < 0x80)
            end = i;
    }
    for (qsizetype i = part.size() - 1; end == 0 && i > 0; --i) {
        if ((uchar(part.at(i)) & 0xC0) != 0x80)
            end = i;
    }
    return part.left(end);
}

static bool hasLongLine(const QString &text)
{
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf(QLatin1Char('\n'), start)) >= 0; start = end + 1) {
        if (end - start > longestLine)
            return true;
    }
    return text.size() - start > longestLine;
}

// text with every line longer than longestLine cut into lines that are not.
static QString cutLongLines(const QString &text)
{
    QString cut;
    cut.reserve(text.size() + text.size() / longestLine);
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            run = 0;
        } else if (++run > longestLine && !c.isLowSurrogate()) {
            cut += QLatin1Char('\n');
            run = 1;
        }
        cut += c;
    }
    return cut;
}

frmShowComment::frmShowComment(DialogRunner &dialogs, const ScreenService &screen)
    : m_dialogs(dialogs)
    , m_screen(screen)
{
    setWindowTitle(QStringLiteral("メモの表示"));
    Label1 = new QLabel(QStringLiteral("更新日："), this);
    UpdateD = new QLineEdit(this);
    UpdateD->setReadOnly(true);
    Comment = new QPlainTextEdit(this);
    Comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EditBtn = new QCheckBox(QStringLiteral("メモの入力・編集"), this);
    DelBtn = new QPushButton(QStringLiteral("削除"), this);
    CloseBtn = new QPushButton(QStringLiteral("更新"), this);

    place(Label1, 270, 165, 720, 270);
    place(UpdateD, 1095, 120, 3420, 330);
    place(Comment, 150, 540, 4380, 2340);
    place(EditBtn, 165, 2955, 1860, 495);
    place(DelBtn, 2115, 2955, 1080, 495);
    place(CloseBtn, 3285, 2955, 1215, 495);
    resize(int(std::lround(m_screen.twipsToPixelsX(4680))),
        int(std::lround(m_screen.twipsToPixelsY(4395))));

    connect(Comment, &QPlainTextEdit::textChanged, this, &frmShowComment::Comment_Change);
    // Checking or unchecking from code runs the handler as a click would.
    connect(EditBtn, &QCheckBox::toggled, this, &frmShowComment::EditBtn_Click);
    connect(DelBtn, &QPushButton::clicked, this, &frmShowComment::DelBtn_Click);
    connect(CloseBtn, &QPushButton::clicked, this, &frmShowComment::CloseBtn_Click);
}

void frmShowComment::place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(int(std::lround(m_screen.twipsToPixelsX(left))),
        int(std::lround(m_screen.twipsToPixelsY(top))),
        int(std::lround(m_screen.twipsToPixelsX(width))),
        int(std::lround(m_screen.twipsToPixelsY(height))));
}

void frmShowComment::Form_Load()
{
    m_loaded = true;
    LoadMemo();
}

void frmShowComment::LoadMemo()
{
    Comment->setReadOnly(true);
    m_whole = false;
    EditBtn->setChecked(false);
    UpdateD->setText(noDate);
    // Locked, so this does not count as a change.
    Comment->setPlainText(QString());
    m_changed = false;
    // Following the pictures with the window hidden reads no memo at all.
    m_unread = true;
    if (isVisible())
        readMemo();
}

void frmShowComment::readMemo()
{
    m_unread = false;
    QString text;
    bool whole = true;
    if (!m_ComFile.isEmpty()) {
        QFile file(m_ComFile);
        const QFileInfo info(m_ComFile);
        if (info.isFile() && file.open(QIODevice::ReadOnly)) {
            // One byte more than is shown tells a beginning from a whole
            // file, and a file that has grown since its size was taken.
            const bool large = file.size() > largestMemo;
            const QByteArray bytes = file.read((large ? shownBeginning : largestMemo) + 1);
            if (file.error() == QFileDevice::NoError)
                UpdateD->setText(memoStamp(info.lastModified()));
            whole = !large && bytes.size() <= largestMemo;
            text = whole ? decodeMemo(bytes) : QString();
            if (!whole || hasLongLine(text)) {
                whole = false;
                text = partNote + QLatin1Char('\n') + cutLongLines(decodeMemo(beginningOf(bytes)));
            }
        }
    }
    Comment->setPlainText(text);
    m_whole = whole;
    EditBtn->setEnabled(whole);
    DelBtn->setEnabled(whole);
    CloseBtn->setEnabled(whole);
}

void frmShowComment::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_unread)
        readMemo();
}

void frmShowComment::Comment_Change()
{
    if (Comment->isReadOnly())
        return;
    m_changed = true;
    UpdateD->setText(memoStamp(QDateTime::currentDateTime()));
}

void frmShowComment::EditBtn_Click()
{
    Comment->setReadOnly(!EditBtn->isChecked() || !m_whole);
    if (Comment->document()->isEmpty() && !Comment->isReadOnly()) {
        Comment->setPlainText(memoDate(QDate::currentDate()) + QLatin1Char('\n'));
        Comment->moveCursor(QTextCursor::End);
    }
    Comment->setFocus();
}

bool frmShowComment::writeMemo(const QString &path) const
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so that the count written is what reached the file: a
    // write cut short (a full disk, a file size limit) reports no error of
    // its own, and a buffered one would be committed half written.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = encodeMemo(Comment->toPlainText());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void frmShowComment::CloseBtn_Click()
{
    // A failed write keeps the text, the changed flag and editing, so the
    // user can try again rather than see the old memo reloaded over it.
    if (m_changed && !writeMemo(m_ComFile))
        return;
    m_changed = false;
    LoadMemo();
}

QString frmShowComment::recoveryPath(const QString &memoFile)
{
    static constexpr qsizetype longestName = 255; // bytes, on every common file system
    QByteArray name
        = memoFile.isEmpty() ? QByteArray("no-picture.txt") : QUrl::toPercentEncoding(memoFile);
    if (name.size() > longestName) {
        const QByteArray digest
            = QCryptographicHash::hash(memoFile.toUtf8(), QCryptographicHash::Sha256);
        const QByteArray hash = digest.toHex().left(16) + '-';
        // The end of the path, from a whole character on: not inside an
        // escape ("%" starts one, a literal "%" being "%25"), and not at
        // the escape of a UTF-8 continuation byte (80 to BF).
        qsizetype from = name.size() - (longestName - hash.size());
        while (name.at(from - 1) == '%' || name.at(from - 2) == '%')
            ++from;
        while (from < name.size() && name.at(from) == '%'
            && QByteArrayView("89AB").contains(name.at(from + 1)))
            from += 3;
        name = hash + name.mid(from);
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/vorlane/recovered/") + QString::fromLatin1(name);
}

void frmShowComment::UpdateFile(const QString &nextf)
{
    m_loaded = true;
    if (m_changed && !writeMemo(m_ComFile)) {
        // The picture has changed already: put the text where the user can
        // find it again, and say where. Should even that fail, the text goes
        // to standard error rather than nowhere.
        const QString copy = recoveryPath(m_ComFile);
        if (QDir().mkpath(QFileInfo(copy).absolutePath()) && writeMemo(copy)) {
            qWarning("vorlane: memo %s could not be written; kept as %s", qPrintable(m_ComFile),
                qPrintable(copy));
        } else {
            qWarning("vorlane: memo %s could not be written, nor kept as %s; its text was:\n%s",
                qPrintable(m_ComFile), qPrintable(copy), qPrintable(Comment->toPlainText()));
        }
    }
    m_changed = false;
    m_ComFile = nextf;
    LoadMemo();
}

void frmShowComment::DelBtn_Click()
{
    if (!m_ComFile.isEmpty() && m_whole)
        QFile::remove(m_ComFile);
}

void frmShowComment::closeEvent(QCloseEvent *event)
{
    if (m_changed
        && !m_dialogs.runOkCancel(
            settings::appTitle, QStringLiteral("変更は保存されません。よろしいですか？"))) {
        event->ignore();
        return;
    }
    m_changed = false;
    m_loaded = false;
    event->accept();
}

void frmShowComment::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Outer size in pixels; the margins keep the text box and the buttons
    // inside, and a size smaller than the margins is not applied.
    const QRect outer = frameGeometry();
    const int w = outer.width() - 30;
    const int h = outer.height() - 110;
    if (w > 0 && h > 0)
        Comment->resize(w, h);
    const int top = outer.height() - 65;
    if (top >= 0) {
        for (QWidget *button : { static_cast<QWidget *>(DelBtn), static_cast<QWidget *>(CloseBtn),
                 static_cast<QWidget *>(EditBtn) })
            button->move(button->x(), top);
    }
}

} // namespace vorlane
