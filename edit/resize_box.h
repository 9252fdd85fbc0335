#pragma once

// Qt
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlane {

class VANE;

// The resize dialog "サイズ変更": the scale as a percentage or as the
// picture's width or height in pixels, and the crop size in screen pixels.
// "設定" (or Enter) applies both to the main window and closes; the close
// box applies nothing. Reads and writes the main window's state directly.
class ReSizeBox : public QDialog
{
    Q_OBJECT
public:
    explicit ReSizeBox(VANE &vane, QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;
    QLabel *Label1[10] = {};
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2[2] = {};
    QLineEdit *wval = nullptr;
    QLineEdit *hval = nullptr;
    QPushButton *Command1 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QPushButton *SaveUsualSize = nullptr;
    QPushButton *SetUsualSize = nullptr;

    // The field changed last: -1 the scale, 0 the width, 1 the height.
    [[nodiscard]] int editField() const { return m_editfield; }

    void Form_Activate();
    void Text1_LostFocus();
    void Text2_LostFocus(int index);
    void SetUsualSize_Click();
    void SaveUsualSize_Click();
    void Command1_Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Places a control at twips of the client area.
    void place(QWidget *control, int left, int top, int width, int height);
    QLineEdit *addField(int left, int top, int width, int height);

    VANE &m_vane;
    // The picture's natural size in screen pixels.
    float m_orgw = 0;
    float m_orgh = 0;
    // The zoom when the dialog opened.
    float m_basesize = 100;
    int m_editfield = -1;
    bool m_activated = false;
};

} // namespace vorlane
