#pragma once

#include <QString>

class QWidget;

// The window's file-open dialog: it remembers the last name it returned, and a
// successful choice makes the chosen file's folder the process's current folder.
class FileOpenDialog {
public:
    virtual ~FileOpenDialog() = default;

    // Shows the dialog; after a cancel FileName() keeps the previous name.
    void ShowOpen(QWidget* parent);
    // The last chosen name with the platform's separators; empty until the first choice.
    QString FileName() const { return fileName_; }

protected:
    // Returns the chosen path, or an empty string for a cancel.
    virtual QString ask(QWidget* parent, const QString& lastName) = 0;

private:
    QString fileName_;
};

// Qt's own open dialog: no filter, no title, starting at the last name.
class QtFileOpenDialog : public FileOpenDialog {
protected:
    QString ask(QWidget* parent, const QString& lastName) override;
};
