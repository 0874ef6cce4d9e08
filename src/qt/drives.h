#pragma once

#include <QString>
#include <QStringList>

// The drives a user would pick from: the drive letters on Windows; elsewhere the root
// and the mounted volumes that hold real disks, by mount point (no /proc, /sys, ...).
QStringList userDrives();
