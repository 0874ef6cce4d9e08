#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// The file a drop hands over: the first local file among the dropped addresses, with the
// platform's separators; folders and remote addresses are passed over. Empty when none.
QString firstDroppedFile(const QList<QUrl>& urls);
