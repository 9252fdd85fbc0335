#pragma once

// Qt
#include <QWidget>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace vorlane {

class VANE;

// The list window "リスト": a mirror of the main window's picture or sound
// list, filled when it opens, when the user switches between pictures and
// sounds, and by "更新", never on its own. Picking a row shows that picture
// or plays that sound. Closing it deletes it.
class frmList : public QWidget
{
    Q_OBJECT
public:
    explicit frmList(VANE &vane);

    void Form_Load();
    // Keeps the window at least 2000 x 3000 twips (outer size) and fits
    // the list to it.
    void Form_Resize();
    void TSel_Click(int index);
    void Command1_Click();
    // Runs for every change of the selected row, by mouse or keyboard.
    void List1_Click();

    // Option buttons: 0 "画像" lists the pictures, 1 "サウンド" the sounds.
    QRadioButton *TSel[2] = {};
    QPushButton *Command1 = nullptr;
    QListWidget *List1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FillList();
    // Places a control by its design geometry in twips.
    void placeTwips(QWidget *control, double left, double top, double width, double height);

    VANE &m_vane;
};

} // namespace vorlane
