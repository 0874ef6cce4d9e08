#pragma once

#include "main_window/form1_model.h"
#include "main_window/piece_size.h"
#include "qt/file_open_dialog.h"
#include "qt/home_page_launcher.h"
#include "qt/message_presenter.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStyle;
class QPushButton;
class QRadioButton;
class QStatusBar;

// The main window: source, destination and piece size for a split, the merge group,
// and the commands. A view of main_window::Form1Model, which decides everything and
// hosts the engine's runs; this class draws the model and passes events to it.
class Form1 : public QMainWindow, public main_window::Form1View {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Seams for tests and for other platforms.
    void setFileOpenDialog(std::unique_ptr<FileOpenDialog> dialog);
    void setMessagePresenter(std::unique_ptr<MessagePresenter> presenter);
    void setHomePageLauncher(std::unique_ptr<HomePageLauncher> launcher);
    void setHomePageAddress(const QString& address) { homePageAddress_ = address; }
    // What ends the process; QCoreApplication::exit by default.
    void setProcessEnder(std::function<void()> ender) { endProcess_ = std::move(ender); }
    // Opens the other windows (the folder chooser and the About box by default).
    void setFolderChooserOpener(std::function<void(const std::string& startFolder)> opener) {
        openFolderChooser_ = std::move(opener);
    }
    void setAboutBoxOpener(std::function<void()> opener) { openAboutBox_ = std::move(opener); }

    FileOpenDialog& dialog() { return *dlg; }
    main_window::Form1Model& model() { return model_; }
    bool isRunning() const { return model_.state().run != main_window::Form1Model::Run::None; }

    // Handlers: the model's, reached through the controls.
    void Form_Load();
    void Option1_Click(int Index) { model_.Option1_Click(Index); }
    void other_Click() { model_.other_Click(); }
    void Check1_Click(int Index);
    void browse_Click() { model_.browse_Click(); }
    void saveto_Click() { model_.saveto_Click(); }
    void start_Click() { model_.start_Click(); }
    void about_Click() { model_.about_Click(); }
    void quit_Click() { model_.quit_Click(); }
    void Command3_Click() { model_.Command3_Click(); }
    void copy_Click() { model_.copy_Click(); }
    void setStatus(const std::string& text) { model_.setStatus(text); }

    // The view's side.
    void refresh() override;
    void showMessage(const std::string& text) override;
    void wake() override;
    std::string askFileName(const std::string& last) override;
    void focusOther() override;
    void openFolderChooser(const std::string& startFolder) override;
    void openAboutBox() override;
    void openHomePage() override;
    void endProcess() override;
    std::chrono::milliseconds doubleClickTime() const override;

    // The status line's whole text (it may show less of it where room is short).
    QString statusText() const { return QString::fromStdString(model_.state().status); }

    // The size controls' state as the size evaluation reads it.
    SizeSelection sizeSelection() const { return model_.sizeSelection(); }
    // Fills src, dec and the size line from a chosen file, as the browse command does.
    void takeSourceFile(const QString& path);
    // Where a file dropped at pos (window coordinates) goes: the merge group's name box
    // or the source; false when the drop names no file or a run is going on.
    bool takeDroppedFile(const QList<QUrl>& urls, const QPoint& pos);

    // Controls, named as the commands know them.
    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* src;
    QPushButton* browse;
    QLabel* Label2;
    QLineEdit* dec;
    QPushButton* saveto;
    QGroupBox* Frame3;
    std::array<QRadioButton*, 4> Option1;
    QLineEdit* other;
    std::array<QCheckBox*, 3> Check1;
    QGroupBox* Frame4;
    QLabel* Label5;
    QLineEdit* src1;
    QPushButton* Command3;
    QLabel* Label6;
    QLineEdit* recovery;
    QLabel* Label7;
    QPushButton* start;
    QPushButton* copy;
    QPushButton* about;
    QPushButton* quit;
    QStatusBar* StatusBar1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void keepOptionGroupOneTabStop();
    void showStatusText();
    void setTabOrder();
    void connectHandlers();

    std::unique_ptr<FileOpenDialog> dlg;
    std::unique_ptr<MessagePresenter> messages_;
    std::unique_ptr<HomePageLauncher> launcher_;
    QString homePageAddress_;
    std::function<void()> endProcess_;
    std::function<void(const std::string&)> openFolderChooser_;
    std::function<void()> openAboutBox_;
    main_window::Form1Model model_{*this};
    std::string shownStatus_;
    QLabel* statusLine_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::unique_ptr<QStyle> frameStyle_;
};
