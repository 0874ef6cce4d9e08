#pragma once

#include "folder_chooser/folder_chooser_model.h"

#include <QWidget>

#include <functional>
#include <string>

class FolderList;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The output-folder chooser: a drive list, a folder list and an editable folder
// prefix that OK hands to the main window unchanged.
class Form2 : public QWidget {
    Q_OBJECT

public:
    // Receives the text of Text1 when the user presses OK.
    using DestinationSink = std::function<void(const QString&)>;
    using Warner = std::function<void(QWidget*, const QString&)>;

    // The one instance: created and loaded on first use (and after the close button
    // unloaded it) at `startFolder` (empty: the current folder), then shown without
    // blocking and without an owner.
    static Form2* showInstance(DestinationSink sink, const std::string& startFolder = {});
    static Form2* instance();
    // Shows a message for a drive that is not ready; tests replace it.
    static void setWarner(Warner warner);

    void Form_Load(const std::string& startFolder = {});
    const folder_chooser::FolderChooserModel& model() const { return model_; }
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();

    QComboBox* Drive1;
    FolderList* Dir1;
    QLineEdit* Text1;
    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit Form2(DestinationSink sink);

    DestinationSink sink_;
    folder_chooser::FolderChooserModel model_;
};
