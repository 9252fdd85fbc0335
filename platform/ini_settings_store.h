#pragma once

// Local
#include "platform/settings_store.h"

namespace vorlane {

// Settings kept in INI files in the user's XDG config folder: application
// "Foo" lives in <config>/foo/foo.conf, sections and keys in lower case, so
// names compare without regard to case ("vorlane" and "VORLANE" meet; a
// name typed by hand in another case is found too).
// Only a regular file is read or written: anything else in its place counts
// as no settings and is left alone. A file Qt cannot read is copied to
// "<file>.bak" before a write replaces it.
class IniSettingsStore : public SettingsStore
{
public:
    // configHome: the folder holding one sub-folder per application; empty:
    // the user's XDG config folder ($XDG_CONFIG_HOME, else ~/.config), or,
    // with neither variable set, none: nothing is read or stored.
    explicit IniSettingsStore(QString configHome = {});

    [[nodiscard]] QString getSetting(const QString &application, const QString &section,
                                     const QString &key,
                                     const QString &defaultValue) const override;
    void saveSetting(const QString &application, const QString &section, const QString &key,
                     const QString &value) override;

    // The file that holds an application's settings; empty without a folder.
    [[nodiscard]] QString fileFor(const QString &application) const;

private:
    QString m_configHome;
};

} // namespace vorlane
