// The vorlane program: a picture viewer with light editing.

// Qt
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMenuBar>
#include <QStringList>
#include <QTimer>
#include <QWindow>

// Std
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Local
#include "app/command_line.h"
#include "app/fitting.h"
#include "app/interface_language.h"
#include "app/load_trace.h"
#include "app/vane.h"
#include "browse/paths.h"
#include "platform/decode_ahead.h"
#include "platform/display_check.h"
#include "platform/image_memory.h"
#include "platform/ini_settings_store.h"
#include "platform/qt_clipboard_service.h"
#include "platform/qt_dialog_runner.h"
#include "platform/qt_folder_service.h"
#include "platform/qt_picture_service.h"
#include "platform/qt_screen_service.h"
#include "platform/qt_shell_service.h"
#include "platform/sdl_sound_device.h"
#include "platform/termination_watcher.h"

static bool envSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

// The text after the program's name: its arguments joined with spaces.
static QString commandLineText(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args.join(QLatin1Char(' '));
}

// The value given to one of Qt's own options ("-display :1"), or the
// environment's default.
static QString qtOption(int argc, char *argv[], const char *option, const char *fallbackVariable)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const char *arg = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (arg[0] == '-' && std::strcmp(arg + 1, option) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return qEnvironmentVariable(fallbackVariable);
}

namespace {
// Marks the start-up stage "expose" when the window is first exposed.
class ExposeMark : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !m_seen) {
            m_seen = true;
            vorlane::LoadTrace::stage("expose");
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
} // namespace

int main(int argc, char *argv[])
{
    vorlane::LoadTrace::startProcessClock();
    // Before Qt first reads the system locale; the translation below does
    // the words.
    vorlane::useJapaneseFormats();

    if (!envSet("QT_QPA_PLATFORM") && envSet("WAYLAND_DISPLAY") && envSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    const QString platform = qtOption(argc, argv, "platform", "QT_QPA_PLATFORM");
    const QString display = qtOption(argc, argv, "display", "DISPLAY");
    if (platform.isEmpty() && display.isEmpty() && !envSet("WAYLAND_DISPLAY")) {
        std::fputs("vorlane: no display: set DISPLAY or run inside a desktop session\n", stderr);
        return 1;
    }
    // Qt aborts when the X server cannot be reached: say so and stop instead.
    const bool x11 = platform.section(QLatin1Char(':'), 0, 0) == QLatin1String("xcb")
        || (platform.isEmpty() && !envSet("WAYLAND_DISPLAY"));
    if (x11 && !display.isEmpty() && !vorlane::xDisplayReachable(display)) {
        std::fprintf(stderr, "vorlane: cannot connect to the display %s\n",
                     display.toLocal8Bit().constData());
        return 1;
    }
    vorlane::LoadTrace::stage("checked");

    QApplication app(argc, argv);
    vorlane::LoadTrace::stage("app");
    QApplication::setApplicationName(QStringLiteral("vorlane"));
    // Qt has taken its own options (-platform, -display, -style...) out of
    // the arguments: the rest is the program's command line.
    const QString commandLine = commandLineText(argc, argv);

    // A picture named on the command line starts decoding now, while the
    // translation and the window are made; the window's load then
    // takes the finished pixels. Not earlier: Qt's plugin paths may not be
    // read by another thread while the application object is being made.
    // The primary screen's resolution stands in for the window's (a metafile
    // decoded for another resolution is decoded again). It is decoded for
    // the view the window will fit it into, like every later load.
    vorlane::QtScreenService screen;
    vorlane::DecodeAhead ahead;
    {
        const vorlane::CommandLine cl = vorlane::parseCommandLine(commandLine);
        const QString path = vorlane::absoluteCommandPath(cl.path, QDir::currentPath());
        const QSize fitBox = vorlane::fitBoxPixels(screen.workArea(), screen.twipsPerPixelX(),
                                                   screen.twipsPerPixelY());
        if (vorlane::IsBitmapFile(path))
            ahead.prefetch(QString(), { path }, 1440.0 / screen.twipsPerPixelX(),
                           1440.0 / screen.twipsPerPixelY(),
                           vorlane::QtPictureService::optionsFor(
                                   fitBox, vorlane::fittedSurfacePixels, screen.workArea()));
    }
    vorlane::LoadTrace::stage("decode-started");

    vorlane::installQtJapanese();
    vorlane::LoadTrace::stage("translation");
    vorlane::QtPictureService pictures(screen, &ahead);
    pictures.setFittedSurface(vorlane::fittedSurfacePixels);
    vorlane::QtDialogRunner dialogs;
    vorlane::QtClipboardService clipboard;
    vorlane::IniSettingsStore settings;
    vorlane::QtFolderService folders;
    vorlane::SdlSoundDevice sound;
    vorlane::QtShellService shell;
    vorlane::Services services { pictures, screen, dialogs, clipboard,
                                 settings, folders, sound, shell };
    vorlane::LoadTrace::stage("services");

    vorlane::VANE window(services);
    screen.setWindow(&window);
    dialogs.setParent(&window);
    vorlane::LoadTrace::stage("window");

    // Asked to end by the session or a terminal: close the window as the
    // user would, so the window position is kept.
    vorlane::TerminationWatcher termination;
    QObject::connect(&termination, &vorlane::TerminationWatcher::terminationRequested, &window,
                     &QWidget::close);

    // The window's style and the fonts of its menu bar are made ready now,
    // while the picture decodes, rather than when the window is shown.
    window.ensurePolished();
    (void)window.menuBar()->sizeHint();
    vorlane::LoadTrace::stage("polished");
    // The window icon is read once the event loop runs: normally after
    // show(), while the window manager frames the window and before the
    // first expose arrives; within the loop of any message the load shows
    // first, so that it gets the icon too. The sizes are those a window
    // manager shows, each named with its size so that none is read before it
    // is needed (the menus and launchers take the installed icons).
    QTimer::singleShot(0, [] {
        QIcon icon;
        for (int size : { 16, 32, 48, 64 })
            icon.addFile(QStringLiteral(":/icons/vorlane-%1.png").arg(size), QSize(size, size));
        QApplication::setWindowIcon(icon);
    });
    window.Form_Load(commandLine);
    vorlane::LoadTrace::stage("loaded");
    window.show();
    vorlane::prefaultBackingStore(window);
    vorlane::LoadTrace::stage("show");
    ExposeMark exposeMark;
    window.windowHandle()->installEventFilter(&exposeMark);
    return app.exec();
}
