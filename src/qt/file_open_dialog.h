#pragma once

#include <QFileIconProvider>
#include <QString>

class QWidget;

// The window's file-open dialog.
class FileOpenDialog {
public:
    virtual ~FileOpenDialog() = default;
    // Returns the chosen path, or an empty string for a cancel.
    virtual QString ask(QWidget* parent, const QString& lastName) = 0;
};

// The type column's words: "文件夹" for a folder, Qt's own for the rest.
class FolderNamingIconProvider : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override;
};

// Qt's own open dialog: no filter, no title, starting at the last name.
class QtFileOpenDialog : public FileOpenDialog {
public:
    QString ask(QWidget* parent, const QString& lastName) override;
};
