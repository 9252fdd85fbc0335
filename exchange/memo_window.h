#pragma once

// Qt
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlane {

class DialogRunner;
class ScreenService;

// The memo window "メモの表示": shows the memo file of the current picture,
// read-only unless "メモの入力・編集" is checked, with its change date.
// Memo files are written through a temporary file renamed over the old one,
// so a failed write never leaves a truncated memo.
class frmShowComment : public QWidget
{
    Q_OBJECT
public:
    frmShowComment(DialogRunner &dialogs, const ScreenService &screen);

    // Full path of the memo file shown; empty when the current picture has
    // none.
    QString m_ComFile;
    // Saves a changed memo to the current file (the picture being left),
    // then shows the memo of nextf. When that save fails the text is kept as
    // a recovery copy (recoveryPath) before moving on; standard error says
    // where, or that even that failed. The window follows nextf either way.
    void UpdateFile(const QString &nextf);
    // The window's load step: shows m_ComFile. Loaded until closed.
    void Form_Load();
    [[nodiscard]] bool isLoaded() const { return m_loaded; }
    [[nodiscard]] bool isChanged() const { return m_changed; }

    // Where the recovery copy of an unsaved memo goes: a per-user data
    // folder, named after the memo's full path; a name too long for the file
    // system keeps the path's end behind a short hash of the whole path.
    [[nodiscard]] static QString recoveryPath(const QString &memoFile);

    QLabel *Label1 = nullptr;
    QLineEdit *UpdateD = nullptr;
    QPlainTextEdit *Comment = nullptr;
    QCheckBox *EditBtn = nullptr;
    QPushButton *DelBtn = nullptr;
    QPushButton *CloseBtn = nullptr;

    void EditBtn_Click();
    void DelBtn_Click();
    void CloseBtn_Click();

protected:
    // Asks before unsaved changes are discarded; Cancel keeps the window.
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A memo left unread while the window was hidden is read now.
    void showEvent(QShowEvent *event) override;

private:
    // Back to viewing; the file is read at once only while the window is
    // shown: a hidden window reads it when it is next shown.
    void LoadMemo();
    void readMemo();
    void Comment_Change();
    // Writes the shown text to path; false when the file is unchanged
    // because the write failed.
    [[nodiscard]] bool writeMemo(const QString &path) const;
    // Geometry in twips.
    void place(QWidget *control, int left, int top, int width, int height);

    DialogRunner &m_dialogs;
    const ScreenService &m_screen;
    bool m_changed = false;
    bool m_loaded = false;
    // m_ComFile has not been read into the window yet.
    bool m_unread = false;
    // The text shown is the whole memo, so it may be edited and written
    // back; false for the beginning of a file too large to be a memo, and
    // while unread.
    bool m_whole = false;
};

} // namespace vorlane
