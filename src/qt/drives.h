#pragma once

#include <QString>
#include <QStringList>

// The drives a user would pick from: the drive letters on Windows; elsewhere the root
// and the mounted volumes that hold real disks, by mount point (no /proc, /sys, ...).
QStringList userDrives();

// The drive (from the list) that holds path: the longest drive that is a prefix of it.
QString driveOf(const QString& path, const QStringList& drives);

// A folder path with exactly one separator at its end ("/" stays "/", "C:\" stays "C:\").
QString withSeparator(const QString& nativePath);
