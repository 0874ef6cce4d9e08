#pragma once

#include <QString>

class QWidget;

// The window's file-open dialog.
class FileOpenDialog {
public:
    virtual ~FileOpenDialog() = default;
    // Returns the chosen path, or an empty string for a cancel.
    virtual QString ask(QWidget* parent, const QString& lastName) = 0;
};

// Qt's own open dialog: no filter, no title, starting at the last name.
class QtFileOpenDialog : public FileOpenDialog {
public:
    QString ask(QWidget* parent, const QString& lastName) override;
};
