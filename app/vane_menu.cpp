// The main window's menu bar: items, captions and shortcuts.

#include "app/vane.h"

// Qt
#include <QMenuBar>

namespace vorlane {

void VANE::createMenus()
{
    QMenuBar *bar = menuBar();
    // Each item runs its handler exactly as a click does; shortcuts are key
    // sequences, so they work on any keyboard layout.
    auto item = [this](QMenu *menu, const QString &caption, const QKeySequence &shortcut,
                       void (VANE::*handler)()) {
        QAction *action = menu->addAction(caption);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler] {
            m_trace.markInput();
            (this->*handler)();
        });
        return action;
    };

    fileMenu = bar->addMenu(QStringLiteral("ファイル"));
    FileOpen = item(fileMenu, QStringLiteral("開く..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                    &VANE::FileOpen_Click);
    save = item(fileMenu, QStringLiteral("保存..."), QKeySequence(Qt::CTRL | Qt::Key_S),
                &VANE::save_Click);
    NextBitmap = item(fileMenu, QStringLiteral("次のビットマップ(SP)"), {},
                      &VANE::NextBitmap_Click);
    BeforeBitmap = item(fileMenu, QStringLiteral("前のビットマップ(BS)"), {},
                        &VANE::BeforeBitmap_Click);
    SlideShow = item(fileMenu, QStringLiteral("Slide Show"), QKeySequence(Qt::Key_F3),
                     &VANE::SlideShow_Click);
    // Checked while the show runs; SlideShow_Click keeps the mark in step
    // with the timer.
    SlideShow->setCheckable(true);
    ListView = item(fileMenu, QStringLiteral("LIST表示"), QKeySequence(Qt::CTRL | Qt::Key_L),
                    &VANE::ListView_Click);
    original = item(fileMenu, QStringLiteral("元に戻す"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                    &VANE::original_Click);
    BackColor = item(fileMenu, QStringLiteral("背景色..."), {}, &VANE::BackColor_Click);

    Edit = bar->addMenu(QStringLiteral("編集"));
    Undo = item(Edit, QStringLiteral("やり直し"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                &VANE::Undo_Click);
    EditCopy = item(Edit, QStringLiteral("コピー"), QKeySequence(Qt::CTRL | Qt::Key_C),
                    &VANE::EditCopy_Click);
    EditPaste = item(Edit, QStringLiteral("ペースト"), QKeySequence(Qt::CTRL | Qt::Key_V),
                     &VANE::EditPaste_Click);
    ResizeDlg = item(Edit, QStringLiteral("サイズ変更..."), {}, &VANE::ResizeDlg_Click);
    big = item(Edit, QStringLiteral("拡大(10%)"), QKeySequence(Qt::CTRL | Qt::Key_E),
               &VANE::big_Click);
    mini = item(Edit, QStringLiteral("縮小(10%)"), QKeySequence(Qt::CTRL | Qt::Key_D),
                &VANE::mini_Click);
    trimpic = item(Edit, QStringLiteral("トリミング"), QKeySequence(Qt::CTRL | Qt::Key_T),
                   &VANE::trimpic_Click);

    // Commands placed straight on the menu bar act at once.
    auto barItem = [this, bar](const QString &caption, void (VANE::*handler)()) {
        QAction *action = bar->addAction(caption);
        connect(action, &QAction::triggered, this, [this, handler] {
            m_trace.markInput();
            (this->*handler)();
        });
        return action;
    };
    info = barItem(QStringLiteral("情報"), &VANE::info_Click);
    Bar = barItem(QStringLiteral("●"), &VANE::Bar_Click);
    SoundNext = barItem(QStringLiteral("♪"), &VANE::SoundNext_Click);
    Memo = barItem(QStringLiteral("Memo"), &VANE::Memo_Click);

    // Keys of the window that no menu item shows. Alt pressed and released
    // alone highlights the menu bar through the style (the captions have no
    // mnemonics to show).
    auto windowKey = [this](Qt::Key key, void (VANE::*handler)()) {
        auto *action = new QAction(this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, [this, handler] {
            m_trace.markInput();
            (this->*handler)();
        });
        addAction(action);
    };
    windowKey(Qt::Key_F10, &VANE::openFirstMenu);
    windowKey(Qt::Key_F, &VANE::toggleFullScreen);
    windowKey(Qt::Key_Escape, &VANE::leaveFullScreen);
}

void VANE::openFirstMenu()
{
    menuBar()->setActiveAction(fileMenu->menuAction());
}

} // namespace vorlane
