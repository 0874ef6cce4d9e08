#include "qt/folder_list.h"

#include <QStyle>

FolderList::FolderList(folder_chooser::FolderChooserModel& model, QWidget* parent)
    : QListWidget(parent), model_(model) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item) {
            model_.openRowAt(row(item));
            refresh();
        }
    });
}

void FolderList::refresh() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const folder_chooser::FolderRow& row : model_.rows()) {
        new QListWidgetItem(row.open ? openIcon : closedIcon, QString::fromStdString(row.label),
                            this);
    }
    setCurrentRow(model_.openRow());
    emit changed(path());
}
