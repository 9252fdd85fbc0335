#include "platform/common_dialog.h"

// Qt
#include <QDir>
#include <QFileInfo>

namespace vorlane {

FileDialogRequest CommonDialog::request() const
{
    FileDialogRequest r;
    // "desc|pattern|desc|pattern": Qt wants "desc" alone when the
    // description already names the pattern, which ours always do.
    const QStringList parts = Filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts.at(i);
        const QString pattern = parts.at(i + 1);
        r.nameFilters << (desc.contains(QLatin1Char('(')) ? desc
                                                         : desc + QStringLiteral(" (") + pattern
                                  + QLatin1Char(')'));
    }
    QString ext = DefaultExt;
    if (ext.startsWith(QLatin1String("*.")))
        ext = ext.mid(2);
    else if (ext.startsWith(QLatin1Char('.')))
        ext = ext.mid(1);
    if (ext.contains(QLatin1Char('*')))
        ext.clear();
    r.defaultSuffix = ext;
    r.proposedPath = FileName;
    r.startFolder = InitDir;
    r.confirmOverwrite = Flags & cdlOFNOverwritePrompt;
    r.pathMustExist = Flags & cdlOFNPathMustExist;
    return r;
}

bool CommonDialog::finish(const std::optional<QString> &chosen)
{
    if (!chosen || chosen->isEmpty()) {
        m_fileTitle.clear();
        return false;
    }
    FileName = *chosen;
    m_fileTitle = QFileInfo(*chosen).fileName();
    return !m_fileTitle.isEmpty();
}

bool CommonDialog::ShowOpen()
{
    return finish(m_runner.runOpen(request()));
}

bool CommonDialog::ShowSave(const std::function<bool(const QString &path)> &write)
{
    FileDialogRequest r = request();
    // By value: a recorded request may outlive this call.
    r.confirm = [mustExist = r.pathMustExist, write](const QString &path) {
        const QFileInfo chosen(path);
        if (mustExist && !chosen.absoluteDir().exists())
            return QStringLiteral("%1\nフォルダーが見つかりません。\n"
                                  "フォルダー名を確かめて、選び直してください。")
                .arg(QDir::toNativeSeparators(chosen.absolutePath()));
        if (write && !write(path))
            return QStringLiteral("%1\nこの名前では保存できませんでした。\n"
                                  "書き込めないフォルダーか、ディスクに空きがありません。")
                .arg(QDir::toNativeSeparators(chosen.absoluteFilePath()));
        return QString();
    };
    return finish(m_runner.runSave(r));
}

bool CommonDialog::ShowColor()
{
    const QColor start = (Flags & cdlCCRGBInit) ? Color : QColor(Qt::black);
    const std::optional<QColor> chosen = m_runner.runColor(start);
    // A cancelled dialog returns the colour it started from.
    Color = chosen && chosen->isValid() ? *chosen : start;
    return chosen.has_value();
}

} // namespace vorlane
