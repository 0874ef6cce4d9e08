#pragma once

#include <QString>

// Facts about the application that the windows show.
namespace app_facts {

inline const QString title = QStringLiteral("Corvane文件切割机2.0");
inline constexpr int versionMajor = 2;
inline constexpr int versionMinor = 0;
inline constexpr int versionRevision = 0;
inline const QString organisation = QStringLiteral("Corvane");
inline const QString applicationName = QStringLiteral("corvane-splitter");
// The desktop entry's name without ".desktop", so desktops match the windows to it.
inline const QString desktopFileName = QStringLiteral("net.corvane.splitter");
// The maker's home page, opened on quit and close; we have none, so nothing opens.
inline const QString homePageAddress;

QString versionText(); // "2.0.0"

} // namespace app_facts
