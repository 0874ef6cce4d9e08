#include "qt/folder_list.h"

#include <QDir>
#include <QStyle>

namespace {
constexpr int pathRole = Qt::UserRole;
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, &FolderList::open);
}

void FolderList::setPath(const QString& root, const QString& folder) {
    root_ = QDir::toNativeSeparators(QDir(root).absolutePath());
    path_ = QDir::toNativeSeparators(QDir(folder).absolutePath());
    clear();

    // The chain root .. open folder.
    QStringList chain;
    for (QDir at(path_);;) {
        chain.prepend(QDir::toNativeSeparators(at.absolutePath()));
        if (QDir::toNativeSeparators(at.absolutePath()) == root_ || !at.cdUp()) {
            break;
        }
    }
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString indent = QStringLiteral("  ");
    int depth = 0;
    for (const QString& folderPath : chain) {
        const QString name = depth == 0 ? folderPath : QDir(folderPath).dirName();
        auto* item = new QListWidgetItem(openIcon, indent.repeated(depth) + name, this);
        item->setData(pathRole, folderPath);
        ++depth;
    }
    const QStringList children =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(closedIcon, indent.repeated(depth) + child, this);
        item->setData(pathRole, QDir::toNativeSeparators(QDir(path_).filePath(child)));
    }
    setCurrentRow(static_cast<int>(chain.size()) - 1);
    emit changed(path_);
}

void FolderList::open(QListWidgetItem* item) {
    if (item) {
        setPath(root_, item->data(pathRole).toString());
    }
}
