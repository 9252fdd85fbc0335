#pragma once

// Qt
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Std
#include <memory>

// Local
#include "app/vane.h"
#include "platform/ini_settings_store.h"
#include "platform/qt_clipboard_service.h"
#include "platform/decode_ahead.h"
#include "platform/qt_picture_service.h"
#include "platform/sdl_sound_device.h"
#include "support/chosen_order_folders.h"
#include "support/fake_screen.h"
#include "support/recording_shell.h"
#include "support/scripted_dialogs.h"

namespace vorlane::test {

// A temporary folder for one test, removed afterwards.
class Sandbox
{
public:
    [[nodiscard]] QString path() const { return m_dir.path(); }
    // Full path of name inside the sandbox (folders created as needed).
    [[nodiscard]] QString file(const QString &name) const;
    // Writes bytes to name; returns the full path.
    QString write(const QString &name, const QByteArray &bytes) const;
    // Writes a four-colour test picture (see makePattern) of the given size
    // and kind ("bmp", "gif", "jpg", "ico", "wmf") to name, whatever its
    // extension; returns the full path.
    QString picture(const QString &name, QSize size, const char *kind = "bmp",
                    const QColor &base = QColor(255, 0, 0)) const;

private:
    QTemporaryDir m_dir;
};

// A main window on real services (pictures, folders, clipboard, sound, an INI
// settings store in the sandbox) with a screen of a chosen size and
// scripted dialog answers.
class Viewer
{
public:
    // decodeAhead: load through a decode-ahead cache, as the program does.
    explicit Viewer(const QString &configHome, QSize workAreaPixels = QSize(1024, 720),
                    bool decodeAhead = false);

    VANE &vane() { return *m_vane; }
    VANE *operator->() { return m_vane.get(); }
    FakeScreen screen;
    ScriptedDialogs dialogs;
    IniSettingsStore settings;
    DecodeAhead ahead;
    QtPictureService pictures;
    QtClipboardService clipboard;
    ChosenOrderFolders folders;
    SdlSoundDevice sound;
    RecordingShell shell;

private:
    Services m_services;
    std::unique_ptr<VANE> m_vane;
};

// A sandbox and a viewer on it, started with an empty command line:
// `Started s; auto &[box, v] = s;`.
struct Started
{
    Sandbox box;
    Viewer v { box.path() };
    Started() { v->Form_Load(QString()); }
};

// An RGB colour without alpha, as rgbAt() returns it.
[[nodiscard]] constexpr QRgb rgb(int r, int g, int b)
{
    return QRgb((r << 16) | (g << 8) | b);
}
// The colour at a pixel of an image, as RGB without alpha.
[[nodiscard]] QRgb rgbAt(const QImage &image, int x, int y);
// True when two colours differ by at most tolerance in every channel.
[[nodiscard]] bool closeColor(QRgb a, QRgb b, int tolerance = 8);
// The bounding box of the pixels unlike background (beyond tolerance).
[[nodiscard]] QRect inkBox(const QImage &image, QRgb background, int tolerance = 40);

// Declares the columns of a data table in one go:
// columns<QString, int>({ "name", "count" }).
template<typename... T>
void columns(std::initializer_list<const char *> names)
{
    const char *const *name = names.begin();
    (QTest::addColumn<T>(*name++), ...);
}

} // namespace vorlane::test
