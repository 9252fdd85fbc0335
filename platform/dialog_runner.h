#pragma once

// Qt
#include <QColor>
#include <QString>
#include <QStringList>

// Std
#include <functional>
#include <optional>

namespace vorlane {

// What a file dialog is asked to show. Filters are Qt name filters such as
// "BMPファイル (*.bmp)".
struct FileDialogRequest
{
    QStringList nameFilters;
    QString defaultSuffix; // without dot; empty: none
    QString proposedPath;  // full path or bare name; may be empty
    QString startFolder;   // where to open when proposedPath names no folder
    bool confirmOverwrite = false;
    bool pathMustExist = false;
    // Called with the path the user confirms, after any question about
    // replacing it: an empty text closes the dialog with that path; any
    // other text is shown to the user, who stays in the dialog to choose
    // again. May be empty: every path is taken.
    std::function<QString(const QString &path)> confirm;
};

// Runs the modal dialogs and returns the user's answer. The one place where
// a test may script the answer instead of a person.
class DialogRunner
{
public:
    virtual ~DialogRunner() = default;

    // The chosen full path, or nullopt when the user cancels.
    [[nodiscard]] virtual std::optional<QString> runOpen(const FileDialogRequest &request) = 0;
    [[nodiscard]] virtual std::optional<QString> runSave(const FileDialogRequest &request) = 0;
    // The chosen colour, or nullopt when the user cancels.
    [[nodiscard]] virtual std::optional<QColor> runColor(const QColor &start) = 0;
    // A message box with OK and Cancel and no icon: true when the user
    // answers OK.
    [[nodiscard]] virtual bool runOkCancel(const QString &title, const QString &text) = 0;
};

} // namespace vorlane
