// The main window: construction, start-up, shut-down and the window frame.

#include "app/vane.h"

// Qt
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

// Std
#include <cmath>

// Local
#include "app/command_line.h"
#include "app/numbers.h"
#include "app/settings_keys.h"
#include "exchange/memo_window.h"

namespace vorlane {

VANE::VANE(Services &services, QWidget *parent)
    : QMainWindow(parent), CDlg(services.dialogs), MMControl1(services.sound),
      m_services(services)
{
    setWindowTitle(QStringLiteral("Vorlane"));
    setAcceptDrops(true);

    m_form = new QWidget(this);
    m_form->setAutoFillBackground(true);
    m_form->installEventFilter(this);
    setCentralWidget(m_form);

    Picture1 = new PictureSurface(services.screen, m_form);
    // The design size of the empty view.
    Picture1->Resize(4440, 2940);
    connect(Picture1, &PictureSurface::doubleClicked, this, &VANE::Picture1_DblClick);
    connect(Picture1, &PictureSurface::mouseDown, this, &VANE::Picture1_MouseDown);
    connect(Picture1, &PictureSurface::mouseMove, this, &VANE::Picture1_MouseMove);
    connect(Picture1, &PictureSurface::mouseUp, this, &VANE::Picture1_MouseUp);
    connect(Picture1, &PictureSurface::keyPressed, this, &VANE::surfaceKeyPressed);
    connect(Picture1, &PictureSurface::painted, this, [this] { m_trace.viewPainted(); });

    connect(&ssTimer, &QTimer::timeout, this, &VANE::ssTimer_Timer);
    MMControl1.setStatusHandler([this] { MMControl1_StatusUpdate(); });
    setUpDragAndDrop();
    createMenus();

    // First run: the window starts in the middle of the work area; the
    // fitting then gives it its size.
    const QSizeF work = services.screen.workArea();
    const double tppX = services.screen.twipsPerPixelX();
    const double tppY = services.screen.twipsPerPixelY();
    move(qMax(0, int((work.width() - 4740) / 2 / tppX)),
         qMax(0, int((work.height() - 3940) / 2 / tppY)));
}

VANE::~VANE()
{
    // The device may outlive the window.
    MMControl1.setUpdateInterval(0);
    MMControl1.setStatusHandler({});
}

void VANE::Form_Load(const QString &commandLine)
{
    // The sound device's status notification is off until a sound starts.
    StopSound();
    // The surface and the window accept dropped files.
    Picture1->setAcceptDrops(true);
    setAcceptDrops(true);
    // No slide show.
    ssTimer.stop();
    SlideShow->setChecked(false);
    // Nothing listed yet, and no sound folder scanned.
    m_BitmapList.clear();
    m_scandir.clear();
    // The surface's starting place; the fitting below centres it.
    Picture1->Move(100, 200);
    // No picture yet, shown at full size.
    m_fname.clear();
    m_size = 100;
    // The empty view counts as a picture of the surface's own size, uncropped.
    m_orgx = toInt32(Picture1->Width());
    m_orgy = toInt32(Picture1->Height());
    m_trimx = 0;
    m_trimy = 0;
    m_trimming = false;
    m_trimw = m_orgx;
    m_trimh = m_orgy;
    // The crop rubber band is erased by drawing it again.
    Picture1->drawMode = PictureSurface::DrawMode::XorPen;
    // Nothing to save at exit unless "-A " asks for it.
    m_savename.clear();
    // The window where it was left last time.
    readWindowPosition();
    // Copy every fitted view to the clipboard, paste the clipboard at an
    // empty start: each only when its setting reads as 1.
    SettingsStore &settings = m_services.settings;
    m_trimcopy = readNumber(settings.getSetting(settings::appTitle, settings::setting,
                                                settings::trimCopy, QStringLiteral("0")))
        == 1.0;
    const bool showClip = toInt32(readNumber(settings.getSetting(
                              settings::appTitle, settings::setting, settings::showClip,
                              QStringLiteral("0"))))
        == 1;
    // The command line: a path to open, or nothing (then maybe the clipboard).
    LoadTrace::stage("settings");
    const CommandLine cl = parseCommandLine(commandLine);
    if (cl.empty) {
        if (showClip && m_services.clipboard.hasImage())
            PasteFromClipboard();
    } else {
        OpenPath(absoluteCommandPath(cl.path, QDir::currentPath()));
        if (cl.saveAtExit && HasPicture())
            m_savename = m_fname;
    }
    LoadTrace::stage("opened");
    // The fitting always runs, so that a command line that opened nothing
    // still leaves the drop prompt drawn in a window of the empty view's size.
    FormResize();
}

// A stored position is used unless it is not a finite number or lies
// absurdly far outside the screen, which would overflow the conversion to
// pixels at every start.
static bool plausiblePosition(double value, double extent)
{
    return std::isfinite(value) && value >= -10 * extent && value <= 11 * extent;
}

void VANE::readWindowPosition()
{
    SettingsStore &settings = m_services.settings;
    const QSizeF work = m_services.screen.workArea();
    const QString topText = settings.getSetting(settings::appName, settings::window,
                                                settings::top, formatSingle(float(windowTop())));
    const double top = readNumber(topText);
    if (plausiblePosition(top, work.height()))
        setWindowRect(windowLeft(), top, windowWidth(), windowHeight());
    const QString leftText = settings.getSetting(
        settings::appName, settings::window, settings::left, formatSingle(float(windowLeft())));
    const double left = readNumber(leftText);
    if (plausiblePosition(left, work.width()))
        setWindowRect(left, windowTop(), windowWidth(), windowHeight());
}

bool VANE::HasPicture()
{
    if (!m_pic)
        return false;
    if (!m_pic->handle()) {
        m_pic.reset();
        return false;
    }
    return true;
}

void VANE::closeEvent(QCloseEvent *event)
{
    // Closing is never refused.
    if (!m_unloaded) {
        Form_QueryUnload();
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void VANE::Form_QueryUnload()
{
    // The side windows first.
    closeSideWindows();
    // The save offered by "-A ".
    if (!m_savename.isEmpty()) {
        m_fname = m_savename;
        SavePic();
    }
    // The window position, for the next start: a full-screen window's is
    // the one it will go back to.
    const QPoint at = m_beforeFullScreen ? m_beforeFullScreen->outer.topLeft()
                                         : frameGeometry().topLeft();
    SettingsStore &settings = m_services.settings;
    settings.saveSetting(settings::appName, settings::window, settings::top,
                         formatSingle(float(m_services.screen.pixelsToTwipsY(at.y()))));
    settings.saveSetting(settings::appName, settings::window, settings::left,
                         formatSingle(float(m_services.screen.pixelsToTwipsX(at.x()))));
}

void VANE::Form_Unload()
{
    // Each clean-up runs whatever the one before did. The snapshot is
    // removed only when this run wrote it: another running copy may be
    // offering its own.
    if (m_snapshotWritten)
        QFile::remove(dragSnapshotPath());
    closeMemoWindow();
    StopSound();
}

QMargins VANE::frameExtents() const
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    return { client.left() - frame.left(), client.top() - frame.top(),
             frame.right() - client.right(), frame.bottom() - client.bottom() };
}

double VANE::windowLeft() const
{
    return m_services.screen.pixelsToTwipsX(frameGeometry().x());
}

double VANE::windowTop() const
{
    return m_services.screen.pixelsToTwipsY(frameGeometry().y());
}

double VANE::windowWidth() const
{
    return m_services.screen.pixelsToTwipsX(frameGeometry().width());
}

double VANE::windowHeight() const
{
    return m_services.screen.pixelsToTwipsY(frameGeometry().height());
}

static int twipsToPixels(double twips, double twipsPerPixel)
{
    const double px = std::nearbyint(twips / twipsPerPixel);
    if (!std::isfinite(px))
        return 0;
    return int(qBound(-1'000'000.0, px, 1'000'000.0));
}

void VANE::setWindowRect(double left, double top, double width, double height)
{
    const double tppX = m_services.screen.twipsPerPixelX();
    const double tppY = m_services.screen.twipsPerPixelY();
    m_wantedOuter = QRect(twipsToPixels(left, tppX), twipsToPixels(top, tppY),
                          qMax(1, twipsToPixels(width, tppX)),
                          qMax(1, twipsToPixels(height, tppY)));
    reapplyWindowRect();
}

void VANE::reapplyWindowRect()
{
    // Position is the frame's top-left; size is the client's, the outer size
    // less the frame the window manager draws (none known before the window
    // is first shown: it is applied again once known).
    m_applyingGeometry = true;
    move(m_wantedOuter.topLeft());
    applyOuterSize(m_wantedOuter.size());
    m_applyingGeometry = false;
}

void VANE::applyOuterSize(QSize outer)
{
    const QMargins frame = frameExtents();
    m_appliedFrame = frame;
    resize(qMax(1, outer.width() - frame.left() - frame.right()),
           qMax(1, outer.height() - frame.top() - frame.bottom()));
}

void VANE::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // The frame of a newly shown window becomes known only after the window
    // manager has framed it: size the window again, once, so that its outer
    // size is the one the fitting asked for.
    if (!m_applyingGeometry && m_wantedOuter.isValid() && frameExtents() != m_appliedFrame
        && !isMaximized() && !isMinimized() && !isFullScreen()) {
        const QSize outer = m_wantedOuter.size();
        m_wantedOuter = QRect();
        m_applyingGeometry = true;
        applyOuterSize(outer);
        m_applyingGeometry = false;
    }
}

} // namespace vorlane
