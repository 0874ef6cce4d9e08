#include "qt/file_open_dialog.h"

#include <QDir>
#include <QFileDialog>

QString QtFileOpenDialog::ask(QWidget* parent, const QString& lastName) {
    return QFileDialog::getOpenFileName(parent, QString(), QDir::fromNativeSeparators(lastName));
}
