#include "qt/dropped_files.h"

#include "main_window/window_rules.h"

#include <QDir>

QString firstDroppedFile(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths.push_back(QDir::toNativeSeparators(url.toLocalFile()).toStdString());
        }
    }
    return QString::fromStdString(window_rules::firstDroppedFile(paths));
}
