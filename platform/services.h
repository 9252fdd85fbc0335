#pragma once

// Local
#include "platform/clipboard_service.h"
#include "platform/dialog_runner.h"
#include "platform/folder_service.h"
#include "platform/picture_service.h"
#include "platform/screen_service.h"
#include "platform/settings_store.h"
#include "platform/shell_service.h"
#include "platform/sound_device.h"

namespace vorlane {

// The platform services the main window works through; the program passes
// the Qt ones, tests pass the real ones or, for a dialog's answer or a
// chosen screen, their doubles.
struct Services
{
    PictureService &pictures;
    ScreenService &screen;
    DialogRunner &dialogs;
    ClipboardService &clipboard;
    SettingsStore &settings;
    FolderService &folders;
    SoundDevice &sound;
    ShellService &shell;
};

} // namespace vorlane
