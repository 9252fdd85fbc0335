#pragma once

// Qt
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

// Std
#include <memory>
#include <optional>

// Local
#include "app/load_trace.h"
#include "app/viewer_state.h"
#include "platform/common_dialog.h"
#include "platform/picture_surface.h"
#include "platform/services.h"

class QAction;
class QMenu;
class QMimeData;

namespace vorlane {

class frmList;
class frmCell;
class frmShowComment;

// The main window: owns the viewer state and the picture surface. Its
// operations are defined in the subsystem folders, as grouped below.
class VANE : public QMainWindow, public ViewerState
{
    Q_OBJECT
public:
    explicit VANE(Services &services, QWidget *parent = nullptr);
    ~VANE() override;

    // app/vane.cpp: start-up, shut-down, the held picture.
    // Runs the start-up steps; commandLine is the text after the program's
    // name (its arguments joined with single spaces).
    void Form_Load(const QString &commandLine);
    // True when a picture with a non-null handle is held; releases a held
    // picture object whose handle is null.
    bool HasPicture();
    // The window's outer frame (title bar and frame included), in twips.
    [[nodiscard]] double windowLeft() const;
    [[nodiscard]] double windowTop() const;
    [[nodiscard]] double windowWidth() const;
    [[nodiscard]] double windowHeight() const;
    // Moves and sizes the outer frame in one move, twips.
    void setWindowRect(double left, double top, double width, double height);

    // app/vane_fit.cpp: fitting, zoom, folding, unit conversion.
    void FormResize();
    void CenterSurface();
    void FoldWindow(bool folded);
    void Bar_Click();
    void big_Click();
    void mini_Click();
    void original_Click();
    // In place, without rounding: twips to pixels and back.
    void TwipsToPixels(float &x, float &y) const;
    void PixelsToTwips(float &x, float &y) const;
    // The box, in pixels, that every view fitted to the work area fits in.
    [[nodiscard]] QSize fitBox() const;
    // Full screen (F, Esc): the window without frame over the whole screen,
    // its view fitted and centred as in a maximised window; leaving gives
    // back the window as it was.
    void toggleFullScreen();
    void leaveFullScreen();

    // app/vane_draw.cpp: the view and the background colour.
    void RedrawView();
    void BackColor_Click();
    void Form_DblClick();
    void Picture1_DblClick();
    [[nodiscard]] QColor backgroundColor() const;

    // app/vane_load.cpp: loading a picture file.
    void LoadPictureFile(const QString &path);
    void ShowNewPicture();
    void SyncMemoWindow();
    // A picture held with fewer pixels than its file has is decoded whole
    // when the view needs more of them, from the file as it was when first
    // decoded; the picture shown never changes to another.
    void loadPixelsForView();

    // browse/vane_paths.cpp: the memo file of the current picture; empty
    // when no picture path is current.
    [[nodiscard]] QString GetMemoFile() const;

    // browse/vane_open.cpp: opening a path and scanning its folder.
    void OpenPath(const QString &path);
    void ScanFolder(const QString &folder, const QString &file);
    void ScanSoundFolder(const QString &folder, const QString &file);
    void FileOpen_Click();

    // browse/vane_navigate.cpp: stepping and the slide show.
    void ShowBitmap(qint32 idx);
    void FindBmp(const QString &path);
    void NextBitmap_Click();
    void BeforeBitmap_Click();
    void SlideShow_Click();
    void ssTimer_Timer();
    // A step asked for by a key (direction +1 next, -1 previous).
    void stepByKey(int direction);
    // The time of day to the whole second, as m_slidetime keeps it.
    [[nodiscard]] static QTime nowToSecond();

    // browse/vane_sound.cpp: background sound.
    // idx: a position in m_SoundList; positions outside it do nothing.
    void PlaySound(qint32 idx);
    void FindSound(const QString &path);
    void PlaySoundFile(const QString &path);
    void StopSound();
    void NextSound();
    void SoundNext_Click();
    // The sound device's status notification.
    void MMControl1_StatusUpdate();
    // The tune played when the folder has no sounds: "vorlane.mid" beside
    // the program, else in ../share/vorlane/ from there.
    [[nodiscard]] static QString defaultTunePath();

    // edit/vane_undo.cpp: the undo list.
    void SetUndoList();
    // Restores the newest entry and removes it; nothing on an empty list.
    void PopUndoList();
    void Undo_Click();

    // edit/vane_crop.cpp: crop mode and the rubber band. The button bits
    // are 1 left, 2 right, 4 middle (a move gives the buttons held), the
    // shift bits 1 Shift, 2 Ctrl, 4 Alt; x, y are twips of the surface, or
    // for Form_* of the window's area below the menu bar.
    void trimpic_Click();
    void Picture1_MouseDown(int button, int shift, float x, float y);
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void Picture1_MouseUp(int button, int shift, float x, float y);
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);

    // edit/vane_keys.cpp: the keyboard.
    // keyCode: the program's virtual-key code; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void Picture1_KeyDown(int keyCode, int shift);

    // edit/vane_resize.cpp: the resize dialog.
    void ResizeDlg_Click();
    // Shows the resize dialog modally.
    void showResizeBox();

    // exchange/vane_clipboard.cpp
    void CopyViewToClipboard();
    void PasteFromClipboard();
    void EditCopy_Click();
    void EditPaste_Click();

    // exchange/vane_save.cpp
    void SavePic();
    void save_Click();

    // exchange/vane_list.cpp: the file list window; listWindow() is the
    // open one, or null.
    void ListView_Click();
    [[nodiscard]] frmList *listWindow() const;

    // exchange/vane_windows.cpp: the side windows.
    void Memo_Click();
    void info_Click();
    // Closes the thumbnail and list windows.
    void closeSideWindows();
    // Closes the memo window through its own close handling.
    void closeMemoWindow();
    // The memo window, made (hidden, loaded) on first use; it outlives a
    // close of the main window that it refuses.
    frmShowComment &memoWindow();
    // The thumbnail map window, made hidden on first use; no command opens
    // it, its owner fills and shows it.
    frmCell &cellWindow();

    // exchange/vane_drag.cpp: where a drag out writes its snapshot of the
    // view (a private per-user folder); empty when there is none.
    [[nodiscard]] static QString dragSnapshotPath();
    // A left press on the surface that is not a crop: a drag out of the view
    // (or, with m_shiftdrag, of the current file) begins once the pointer
    // has moved the platform's drag distance with the button held.
    void startDragOut();
    // The drag's data: the current file with m_shiftdrag, else a snapshot
    // of the view written now; only a file list (text/uri-list), copy only.
    // Turns drop acceptance off for the drag. false: no drag may start (no
    // picture shown, no existing current file, or the snapshot could not be
    // written).
    bool Picture1_OLEStartDrag(QMimeData &data, Qt::DropActions &allowedEffects);
    // The drag has ended, whatever its outcome: drops are accepted again.
    void Picture1_OLECompleteDrag(Qt::DropAction effect);
    // Data dropped on the surface, or (Form_) on the rest of the window:
    // opens the local files it lists and gives the surface the focus.
    // button, shift and x, y (twips) as for the surface's mouse signals.
    void Picture1_OLEDragDrop(const QMimeData &data, int button, int shift, float x, float y);
    void Form_OLEDragDrop(const QMimeData &data, int button, int shift, float x, float y);

    // Controls, named by role.
    PictureSurface *Picture1 = nullptr;
    QTimer ssTimer;
    CommonDialog CDlg;
    SoundDevice &MMControl1;

    // Menu items.
    QMenu *fileMenu = nullptr;
    QMenu *Edit = nullptr;
    QAction *FileOpen = nullptr;
    QAction *save = nullptr;
    QAction *NextBitmap = nullptr;
    QAction *BeforeBitmap = nullptr;
    QAction *SlideShow = nullptr;
    QAction *ListView = nullptr;
    QAction *original = nullptr;
    QAction *BackColor = nullptr;
    QAction *Undo = nullptr;
    QAction *EditCopy = nullptr;
    QAction *EditPaste = nullptr;
    QAction *ResizeDlg = nullptr;
    QAction *big = nullptr;
    QAction *mini = nullptr;
    QAction *trimpic = nullptr;
    QAction *info = nullptr;
    QAction *Bar = nullptr;
    QAction *SoundNext = nullptr;
    QAction *Memo = nullptr;

    Services &services() { return m_services; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // edit/vane_keys.cpp: the wheel over the picture and the window's margin.
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // exchange/vane_drag.cpp
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // app/vane_menu.cpp
    void createMenus();
    // Opens the first menu, as F10 does.
    void openFirstMenu();
    // app/vane.cpp
    void Form_QueryUnload();
    void Form_Unload();
    void readWindowPosition();
    [[nodiscard]] QMargins frameExtents() const;
    void reapplyWindowRect();
    // Sizes the window so that its outer size, frame included, is outer.
    void applyOuterSize(QSize outer);
    // edit/vane_keys.cpp
    void surfaceKeyPressed(QKeyEvent *event);
    void slideShowKey(int keyCode);
    void viewKey(int keyCode, int shift);
    // edit/vane_crop.cpp
    [[nodiscard]] bool banding() const;
    void drawBand();
    // A mouse press, move or release on the window's margin; false for
    // other events.
    bool formMouseEvent(QEvent *event);
    // browse/vane_navigate.cpp: has the pictures before and after the
    // current one decoded ahead.
    void prefetchNeighbours();
    // Shows the picture the key steps arrived at.
    void showPendingStep();
    void endStepRun();
    // exchange/vane_drag.cpp
    void setUpDragAndDrop();
    // Runs a drag out to its end (modal).
    void runDragOut();
    bool writeDragSnapshot(const QString &path);

    Services &m_services;
    QWidget *m_form = nullptr; // the client area below the menu bar
    // The outer rectangle the fitting last asked for, in pixels, and the
    // frame extents it was applied with: re-applied once the window
    // manager's frame becomes known.
    QRect m_wantedOuter;
    QMargins m_appliedFrame;
    bool m_applyingGeometry = false;
    // While full screen: the window before it (outer rectangle in pixels,
    // maximised, folded).
    struct WindowBefore
    {
        QRect outer;
        bool maximised;
        bool folded;
    };
    std::optional<WindowBefore> m_beforeFullScreen;
    // edit/vane_keys.cpp: wheel travel short of a notch, angleDelta units.
    int m_wheelTravel = 0;
    bool m_unloaded = false;
    // edit/vane_crop.cpp: the last press on the surface came while crop mode
    // was armed; that press's release ends crop mode before a double-click
    // arrives, so the double-click asks this instead.
    bool m_pressArmed = false;
    // Key steps not shown yet, and the pictures they passed over.
    bool m_stepPending = false;
    QStringList m_steppedOver;
    QObject *m_stepFlush = nullptr;
    LoadTrace m_trace;
    // exchange/vane_list.cpp
    QPointer<frmList> m_listWindow;
    // exchange/vane_drag.cpp: arms and starts drags out; whether this run
    // wrote the snapshot (exit removes only its own).
    class DragOutWatcher *m_dragOut = nullptr;
    bool m_snapshotWritten = false;
    // exchange/vane_windows.cpp
    std::unique_ptr<frmShowComment> m_memo;
    frmCell *m_cell = nullptr;
};

} // namespace vorlane
