#include "qt/file_open_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void FileOpenDialog::ShowOpen(QWidget* parent) {
    const QString chosen = ask(parent, fileName_);
    if (chosen.isEmpty()) {
        return;
    }
    fileName_ = QDir::toNativeSeparators(chosen);
    // As the platform's dialog does; the folder chooser starts from here.
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
}

QString QtFileOpenDialog::ask(QWidget* parent, const QString& lastName) {
    return QFileDialog::getOpenFileName(parent, QString(), QDir::fromNativeSeparators(lastName));
}
