#include "qt/dropped_files.h"

#include <QDir>
#include <QFileInfo>

QString firstDroppedFile(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isFile()) {
            return QDir::toNativeSeparators(path);
        }
    }
    return {};
}
