#pragma once

// Qt
#include <QColor>
#include <QString>

// Local
#include "platform/dialog_runner.h"

namespace vorlane {

// The main window's shared common dialog object. Its properties keep their
// values from one use to the next; the Open, Save and colour commands each
// set what they need and show it.
class CommonDialog
{
public:
    // Flag bits; once added they stay set for later dialogs.
    static constexpr qint32 cdlCCRGBInit = 0x1;       // colour dialog starts from Color
    static constexpr qint32 cdlOFNOverwritePrompt = 0x2; // save asks before replacing
    static constexpr qint32 cdlOFNPathMustExist = 0x800; // a typed path must exist

    explicit CommonDialog(DialogRunner &runner) : m_runner(runner) { }

    // Entries of description and pattern joined by "|", e.g.
    // "ファイル (*.*)|*.*".
    QString Filter;
    // "*.*", "*.bmp" or "bmp": the extension given to a name confirmed
    // without one ("*.*" gives none).
    QString DefaultExt;
    qint32 Flags = 0;
    // Proposed full path before a file dialog; the chosen one after a
    // confirmed dialog, unchanged after a cancel.
    QString FileName;
    QColor Color = Qt::black;
    // The folder a file dialog opens in when FileName names none; may be
    // empty.
    QString InitDir;

    // The name part of the file chosen by the last file dialog; empty after a
    // cancel.
    [[nodiscard]] QString FileTitle() const { return m_fileTitle; }

    // Modal; return when the user confirms or cancels. A cancel raises no
    // error: the return value says whether the user confirmed.
    bool ShowOpen();
    bool ShowColor();
    // The save form. With the must-exist flag a path in a missing folder is
    // refused inside the dialog. write, when given, is called with each
    // confirmed path before the dialog closes; when it returns false the
    // dialog says the file could not be written and the user chooses again,
    // so a confirmed dialog always means a written file.
    bool ShowSave(const std::function<bool(const QString &path)> &write = {});

private:
    [[nodiscard]] FileDialogRequest request() const;
    bool finish(const std::optional<QString> &chosen);

    DialogRunner &m_runner;
    QString m_fileTitle;
};

} // namespace vorlane
