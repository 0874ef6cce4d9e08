#include "qt/home_page_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void HomePageLauncher::open(const QString& address) {
    if (!address.isEmpty()) {
        launch(address);
    }
}

void DesktopHomePageLauncher::launch(const QString& address) {
#ifdef Q_OS_WIN
    QProcess::startDetached(QStringLiteral("explorer"), {address});
#else
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
#endif
}
