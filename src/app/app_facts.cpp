#include "app/app_facts.h"

QString app_facts::versionText() {
    return QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision);
}
