#pragma once

#include <QListWidget>

// A folder list: the folders from a drive's root down to the open folder, then the
// open folder's sub-folders, indented. A double-click (or Enter) opens a folder; a
// single click only highlights it.
class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // The open folder as a full path with the platform's separators.
    QString path() const { return path_; }
    // Opens a folder of the drive whose root is `root`.
    void setPath(const QString& root, const QString& folder);

signals:
    // The open folder changed.
    void changed(const QString& path);

private:
    void open(QListWidgetItem* item);

    QString root_;
    QString path_;
};
