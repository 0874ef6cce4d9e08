#include "qt/drives.h"

#include <QDir>
#include <QStorageInfo>

QStringList userDrives() {
    QStringList drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives()) {
        drives.append(QDir::toNativeSeparators(drive.absoluteFilePath()));
    }
#else
    drives.append(QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        // Only volumes backed by a device: this leaves out proc, sysfs, tmpfs, cgroup...
        if (root == QLatin1String("/") || !volume.device().startsWith("/dev/") ||
            volume.fileSystemType() == "squashfs" || root.startsWith(QLatin1String("/boot")) ||
            root.startsWith(QLatin1String("/snap/"))) {
            continue;
        }
        if (!drives.contains(root)) {
            drives.append(root);
        }
    }
#endif
    return drives;
}
