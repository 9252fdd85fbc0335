#pragma once

// Qt
#include <QString>

// The keys the program keeps in the settings store.
namespace vorlane::settings {

inline const QString appName = QStringLiteral("vorlane");
inline const QString appTitle = QStringLiteral("VORLANE");
inline const QString window = QStringLiteral("window");
inline const QString setting = QStringLiteral("Setting");
inline const QString top = QStringLiteral("Top");
inline const QString left = QStringLiteral("Left");
inline const QString trimCopy = QStringLiteral("TrimCopy");
inline const QString showClip = QStringLiteral("ShowClip");
inline const QString usWidth = QStringLiteral("USWidth");
inline const QString usHeight = QStringLiteral("USHeight");

} // namespace vorlane::settings
