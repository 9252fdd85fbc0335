#include "exchange/frm_list.h"

// Qt
#include <QButtonGroup>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

// Std
#include <cmath>

// Local
#include "app/vane.h"

namespace vorlane {

// The smallest outer size the window keeps, twips.
static constexpr double minWidth = 2000;
static constexpr double minHeight = 3000;

frmList::frmList(VANE &vane) : QWidget(&vane, Qt::Window), m_vane(vane)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("リスト"));
    const ScreenService &screen = m_vane.services().screen;
    resize(int(std::lround(screen.twipsToPixelsX(5040))),
           int(std::lround(screen.twipsToPixelsY(5235))));

    auto *group = new QButtonGroup(this);
    const QString captions[] = { QStringLiteral("画像"), QStringLiteral("サウンド") };
    for (int i = 0; i < 2; ++i) {
        TSel[i] = new QRadioButton(captions[i], this);
        group->addButton(TSel[i], i);
        connect(TSel[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                TSel_Click(i);
        });
    }
    placeTwips(TSel[0], 105, 15, 825, 495);
    placeTwips(TSel[1], 915, 15, 1215, 495);

    Command1 = new QPushButton(QStringLiteral("更新"), this);
    placeTwips(Command1, 2040, 90, 1005, 375);
    connect(Command1, &QPushButton::clicked, this, &frmList::Command1_Click);

    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    placeTwips(List1, 30, 675, 4965, 4020);
    // The selection, not the current row: giving the list the keyboard
    // focus makes a row current without picking it.
    connect(List1, &QListWidget::itemSelectionChanged, this, &frmList::List1_Click);
}

void frmList::placeTwips(QWidget *control, double left, double top, double width, double height)
{
    const ScreenService &screen = m_vane.services().screen;
    control->setGeometry(int(std::lround(screen.twipsToPixelsX(left))),
                         int(std::lround(screen.twipsToPixelsY(top))),
                         qMax(0, int(std::lround(screen.twipsToPixelsX(width)))),
                         qMax(0, int(std::lround(screen.twipsToPixelsY(height)))));
}

void frmList::Form_Load()
{
    TSel[0]->setChecked(true);
}

void frmList::FillList()
{
    List1->clear();
    const SortedPathList &source = TSel[0]->isChecked() ? m_vane.m_BitmapList : m_vane.m_SoundList;
    QStringList rows;
    rows.reserve(source.count());
    for (const QString &path : source.entries())
        rows << path;
    List1->addItems(rows);
}

void frmList::TSel_Click(int)
{
    FillList();
}

void frmList::Command1_Click()
{
    FillList();
}

void frmList::List1_Click()
{
    // Emptying the list deselects too: no row, nothing to pick.
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    const qint32 row = List1->row(selected.constFirst());
    if (row < 0)
        return;
    if (TSel[0]->isChecked())
        m_vane.ShowBitmap(row);
    else
        m_vane.PlaySound(row);
}

void frmList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmList::Form_Resize()
{
    const ScreenService &screen = m_vane.services().screen;
    const QRect frame = frameGeometry();
    const QSize extra = frame.size() - size();
    double w = screen.pixelsToTwipsX(frame.width());
    double h = screen.pixelsToTwipsY(frame.height());
    if (w < minWidth || h < minHeight) {
        const int outerW = int(std::ceil(screen.twipsToPixelsX(qMax(w, minWidth))));
        const int outerH = int(std::ceil(screen.twipsToPixelsY(qMax(h, minHeight))));
        resize(outerW - extra.width(), outerH - extra.height());
        w = screen.pixelsToTwipsX(frameGeometry().width());
        h = screen.pixelsToTwipsY(frameGeometry().height());
    }
    // The list fills the window below the buttons, kept inside the client
    // area, which the window manager's frame makes smaller than the outer
    // size the margins are measured from.
    const double clientW = screen.pixelsToTwipsX(width());
    const double clientH = screen.pixelsToTwipsY(height());
    placeTwips(List1, 0, 500, qMin(w - 100, clientW), qMin(h - 800, clientH - 500));
}

} // namespace vorlane
