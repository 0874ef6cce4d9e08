#include "qt/file_open_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

QString FolderNamingIconProvider::type(const QFileInfo& info) const {
    // Qt's Chinese catalogue has no word for this one and shows "Folder".
    if (info.isDir()) {
        return QStringLiteral("文件夹");
    }
    return QFileIconProvider::type(info);
}

QString QtFileOpenDialog::ask(QWidget* parent, const QString& lastName) {
    // These reach Qt's own dialog only; a desktop's native one words and sizes itself.
    FolderNamingIconProvider types; // outlives the dialog that uses it
    QFileDialog dialog(parent, QString(), QDir::fromNativeSeparators(lastName));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setIconProvider(&types);
    if (auto* details = dialog.findChild<QTreeView*>()) {
        // Sizes such as "64.00 GiB" whole, and the type beside them.
        details->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}
