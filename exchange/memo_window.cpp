// The memo window and its memo files.

#include "exchange/memo_window.h"

// Qt
#include <QCheckBox>
#include <QCloseEvent>
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
#include <cmath>

// Local
#include "app/settings_keys.h"
#include "exchange/memo_codec.h"
#include "platform/dialog_runner.h"
#include "platform/screen_service.h"

namespace vorlane {

static const QString noDate = QStringLiteral("---");

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
    EditBtn->setChecked(false);
    UpdateD->setText(noDate);
    QString text;
    if (!m_ComFile.isEmpty()) {
        QFile file(m_ComFile);
        const QFileInfo info(m_ComFile);
        if (info.isFile() && file.open(QIODevice::ReadOnly)) {
            text = decodeMemo(file.readAll());
            if (file.error() == QFileDevice::NoError)
                UpdateD->setText(memoStamp(info.lastModified()));
        }
    }
    // Locked, so this does not count as a change.
    Comment->setPlainText(text);
    m_changed = false;
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
    Comment->setReadOnly(!EditBtn->isChecked());
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
    const QString name = memoFile.isEmpty()
        ? QStringLiteral("no-picture.txt")
        : QString::fromLatin1(QUrl::toPercentEncoding(memoFile));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/vorlane/recovered/") + name;
}

void frmShowComment::UpdateFile(const QString &nextf)
{
    m_loaded = true;
    if (m_changed && !writeMemo(m_ComFile)) {
        // The picture has changed already: put the text where the user can
        // find it again, and stay on it when even that fails.
        const QString copy = recoveryPath(m_ComFile);
        if (!QDir().mkpath(QFileInfo(copy).absolutePath()) || !writeMemo(copy))
            return;
        qWarning("vorlane: memo %s could not be written; kept as %s", qPrintable(m_ComFile),
            qPrintable(copy));
    }
    m_changed = false;
    m_ComFile = nextf;
    LoadMemo();
}

void frmShowComment::DelBtn_Click()
{
    if (!m_ComFile.isEmpty())
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
