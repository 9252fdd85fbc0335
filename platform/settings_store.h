#pragma once

// Qt
#include <QString>

namespace vorlane {

// The per-user settings store: text values under (application, section,
// key). Names compare without regard to case.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or defaultValue when the key is absent.
    [[nodiscard]] virtual QString getSetting(const QString &application, const QString &section,
                                             const QString &key,
                                             const QString &defaultValue) const = 0;
    // Stores value; it survives the program.
    virtual void saveSetting(const QString &application, const QString &section,
                             const QString &key, const QString &value) = 0;
};

} // namespace vorlane
