#include "platform/ini_settings_store.h"

// Qt
#include <QSettings>
#include <QStandardPaths>

namespace vorlane {

IniSettingsStore::IniSettingsStore(QString configHome) : m_configHome(std::move(configHome))
{
    if (m_configHome.isEmpty())
        m_configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::fileFor(const QString &application) const
{
    const QString app = application.toLower();
    return m_configHome + QLatin1Char('/') + app + QLatin1Char('/') + app
        + QLatin1String(".conf");
}

static QString settingsKey(const QString &section, const QString &key)
{
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

QString IniSettingsStore::getSetting(const QString &application, const QString &section,
                                     const QString &key, const QString &defaultValue) const
{
    // A fresh QSettings per call: the file is small, and another running
    // copy of the program may have written it since.
    const QSettings settings(fileFor(application), QSettings::IniFormat);
    const QVariant value = settings.value(settingsKey(section, key));
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
    QSettings settings(fileFor(application), QSettings::IniFormat);
    settings.setValue(settingsKey(section, key), value);
    settings.sync();
}

} // namespace vorlane
