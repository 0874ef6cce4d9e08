#pragma once

#include "folder_chooser/folder_chooser_model.h"

#include <QListWidget>

// The folder list, drawn from the chooser's model: the folders from a drive's root down to
// the open folder, then the open folder's sub-folders, indented. A double-click (or Enter)
// opens a folder; a single click only highlights it.
class FolderList : public QListWidget {
    Q_OBJECT

public:
    FolderList(folder_chooser::FolderChooserModel& model, QWidget* parent = nullptr);

    // The open folder as a full path with the platform's separators.
    QString path() const { return QString::fromStdString(model_.folder()); }
    // Draws the model's rows again.
    void refresh();

signals:
    // The open folder changed.
    void changed(const QString& path);

private:
    folder_chooser::FolderChooserModel& model_;
};
