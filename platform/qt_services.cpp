// The small Qt-backed services: screen, clipboard and the modal dialogs.

#include "platform/qt_clipboard_service.h"
#include "platform/qt_dialog_runner.h"
#include "platform/qt_screen_service.h"

// Qt
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeView>

namespace vorlane {

QScreen *QtScreenService::screen() const
{
    if (m_window && m_window->screen())
        return m_window->screen();
    return QGuiApplication::primaryScreen();
}

static double twipsPerPixel(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

double QtScreenService::twipsPerPixelX() const
{
    QScreen *s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double QtScreenService::twipsPerPixelY() const
{
    QScreen *s = screen();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 96.0);
}

QSizeF QtScreenService::workArea() const
{
    QScreen *s = screen();
    const QSize px = s ? s->availableGeometry().size() : QSize(1024, 768);
    return { pixelsToTwipsX(px.width()), pixelsToTwipsY(px.height()) };
}

void QtClipboardService::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboardService::setImage(const QImage &image)
{
    QGuiApplication::clipboard()->setImage(image);
}

// Qt asks another program that owns the clipboard for each picture kind in
// turn and waits up to five seconds for every answer, so an owner that never
// answers would hold the viewer for a minute. The kinds it offers are asked
// for once (an empty list: it did not answer), then one picture kind.
static QString offeredPictureKind(const QMimeData &data)
{
    const QStringList offered = data.formats();
    for (const char *kind : { "image/png", "image/bmp", "image/jpeg", "image/gif" })
        if (offered.contains(QLatin1String(kind)))
            return QLatin1String(kind);
    for (const QString &kind : offered)
        if (kind.startsWith(QLatin1String("image/")))
            return kind;
    // This program's own picture, or one Qt knows only in its own form.
    return offered.contains(QLatin1String("application/x-qt-image")) ? QStringLiteral("qt")
                                                                      : QString();
}

bool QtClipboardService::hasImage() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && !offeredPictureKind(*data).isEmpty();
}

QImage QtClipboardService::image() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QString kind = data ? offeredPictureKind(*data) : QString();
    if (kind.isEmpty())
        return {};
    if (kind == QLatin1String("qt"))
        return qvariant_cast<QImage>(data->imageData());
    return QImage::fromData(data->data(kind));
}

// Qt reads "*.*" as the names that contain a dot; a filter means every file
// by it. Each filter keeps its text on screen (the dialog hides the details,
// the last parentheses) and is followed by the patterns Qt is to match.
static QStringList qtNameFilters(const QStringList &filters)
{
    static const QRegularExpression last(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    QStringList out;
    for (const QString &filter : filters) {
        const QRegularExpressionMatch m = last.match(filter);
        QStringList patterns = m.captured(1).split(u' ', Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << (m.hasMatch() ? filter + QStringLiteral(" (") + patterns.join(u' ') + u')'
                             : filter);
    }
    return out;
}

// Qt's file dialog that lets the caller refuse a confirmed path: the refusal
// is shown over the dialog, as Qt shows its own, and the dialog stays open.
class CheckedFileDialog : public QFileDialog
{
public:
    CheckedFileDialog(QWidget *parent, std::function<QString(const QString &)> confirm)
        : QFileDialog(parent)
        , m_confirm(std::move(confirm))
    {
    }

    void done(int result) override
    {
        // Qt has asked about replacing an existing file by now.
        if (result == Accepted && m_confirm && !selectedFiles().isEmpty()) {
            const QString refusal = m_confirm(selectedFiles().constFirst());
            if (!refusal.isEmpty()) {
                QMessageBox::warning(this, windowTitle(), refusal);
                return;
            }
        }
        QFileDialog::done(result);
    }

private:
    std::function<QString(const QString &)> m_confirm;
};

std::optional<QString> QtDialogRunner::runFile(const FileDialogRequest &request, bool save)
{
    CheckedFileDialog dialog(m_parent, request.confirm);
    // The refusals need the dialog's own accepting, which a desktop's
    // native dialog would do out of our reach.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(qtNameFilters(request.nameFilters));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
    if (!request.proposedPath.isEmpty()) {
        const QFileInfo proposed(request.proposedPath);
        if (proposed.isAbsolute())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    // Wide enough for the details view's size, kind and date columns to
    // show whole, within the screen.
    QSize size(860, 500);
    if (const QScreen *screen = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        const QFontMetrics metrics(details->font());
        const int pad = metrics.height();
        QHeaderView *header = details->header();
        header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("1,023 バイト")) + pad);
        header->resizeSection(2, metrics.horizontalAdvance(QStringLiteral("平文テキストドキュメント")) + pad);
        header->resizeSection(3, metrics.horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + pad);
    }
    // An Open dialog in ExistingFile mode only returns files that exist.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogRunner::runOpen(const FileDialogRequest &request)
{
    return runFile(request, false);
}

std::optional<QString> QtDialogRunner::runSave(const FileDialogRequest &request)
{
    return runFile(request, true);
}

std::optional<QColor> QtDialogRunner::runColor(const QColor &start)
{
    const QColor chosen = QColorDialog::getColor(start, m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogRunner::runOkCancel(const QString &title, const QString &text)
{
    // Over the window that asks (a side window), else over the main one.
    QWidget *over = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    over ? over : m_parent.data());
    return box.exec() == QMessageBox::Ok;
}

} // namespace vorlane
