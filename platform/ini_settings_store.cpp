#include "platform/ini_settings_store.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

// Std
#include <algorithm>

namespace vorlane {

IniSettingsStore::IniSettingsStore(QString configHome) : m_configHome(std::move(configHome))
{
    // Without a home (neither $XDG_CONFIG_HOME nor $HOME) Qt would answer a
    // folder at the file system's root: nothing is stored then.
    const bool hasHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME"))
        || !qEnvironmentVariableIsEmpty("HOME");
    if (m_configHome.isEmpty() && hasHome)
        m_configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::fileFor(const QString &application) const
{
    if (m_configHome.isEmpty())
        return {};
    const QString app = application.toLower();
    return m_configHome + QLatin1Char('/') + app + QLatin1Char('/') + app
        + QLatin1String(".conf");
}

static QString settingsKey(const QString &section, const QString &key)
{
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

// Settings live in a regular file or nowhere: a pipe or a device where the
// file should be would block the reader for ever, and a folder or a device
// must not be replaced by one.
static bool usable(const QString &file)
{
    if (file.isEmpty())
        return false;
    const QFileInfo info(file);
    return !info.exists() || info.isFile();
}

QString IniSettingsStore::getSetting(const QString &application, const QString &section,
                                     const QString &key, const QString &defaultValue) const
{
    const QString file = fileFor(application);
    if (!usable(file))
        return defaultValue;
    // A fresh QSettings per call: the file is small, and another running
    // copy of the program may have written it since.
    const QSettings settings(file, QSettings::IniFormat);
    const QString name = settingsKey(section, key);
    QVariant value = settings.value(name);
    // A name typed by hand in another case ("[Setting]", "TrimCopy") is the
    // same setting; the lower-case one this store writes wins over it.
    if (!value.isValid()) {
        const QStringList names = settings.allKeys();
        const auto typed = std::find_if(names.cbegin(), names.cend(), [&](const QString &n) {
            return n.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (typed != names.cend())
            value = settings.value(*typed);
    }
    if (!value.isValid())
        return defaultValue;
    // A value written by hand as a list ("a, b") reads back as a string list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1String(", "));
    return value.toString();
}

void IniSettingsStore::saveSetting(const QString &application, const QString &section,
                                   const QString &key, const QString &value)
{
    const QString file = fileFor(application);
    if (!usable(file))
        return;
    QSettings settings(file, QSettings::IniFormat);
    // Writing replaces a file Qt could not read with what it did read: the
    // user's text is kept beside it first.
    if (settings.status() == QSettings::FormatError) {
        const QString backup = file + QLatin1String(".bak");
        QFile::remove(backup);
        if (!QFile::copy(file, backup))
            return;
    }
    settings.setValue(settingsKey(section, key), value);
    settings.sync();
}

} // namespace vorlane
