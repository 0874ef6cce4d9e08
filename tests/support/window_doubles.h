#pragma once
// Stand-ins for the main window's outside effects, for the window tests.

#include "qt/file_open_dialog.h"
#include "qt/home_page_launcher.h"
#include "qt/message_presenter.h"

#include <QString>
#include <QStringList>

// Answers from a script, for tests: each ShowOpen takes the next answer, and an
// empty answer (or none left) is a cancel.
class ScriptedFileOpenDialog : public FileOpenDialog {
public:
    void setNextFileName(const QString& answer) { answers_.append(answer); }
    int timesShown() const { return shown_; }
    QString ask(QWidget*, const QString&) override {
        ++shown_;
        return answers_.isEmpty() ? QString() : answers_.takeFirst();
    }

private:
    QStringList answers_;
    int shown_ = 0;
};

// Remembers the addresses instead of opening them.
class RecordingHomePageLauncher : public HomePageLauncher {
public:
    QStringList launched;

protected:
    void launch(const QString& address) override { launched.append(address); }
};

// Remembers the texts instead of showing them, for tests.
class RecordingMessagePresenter : public MessagePresenter {
public:
    void warn(QWidget*, const QString& text) override { texts.append(text); }
    QStringList texts;
};
