#include "qt/file_open_dialog.h"
#include "qt/form1.h"
#include "qt/form2.h"
#include "qt/frm_about.h"
#include "qt/translations.h"
#include "temp_folder.h"
#include "window_doubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyleHints>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
using testing_support::TempFolder;

namespace {
QString q(const std::string& text) {
    return QString::fromStdString(text);
}

#ifdef __linux__
std::size_t openFileCount() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}
#endif
} // namespace

// A main window with every outside effect replaced by a recorder.
struct ScriptedForm {
    Form1 window;
    ScriptedFileOpenDialog* dialog;
    RecordingMessagePresenter* messages;
    RecordingHomePageLauncher* launcher;
    int endCalls = 0;

    ScriptedForm() {
        auto d = std::make_unique<ScriptedFileOpenDialog>();
        dialog = d.get();
        window.setFileOpenDialog(std::move(d));
        auto m = std::make_unique<RecordingMessagePresenter>();
        messages = m.get();
        window.setMessagePresenter(std::move(m));
        auto l = std::make_unique<RecordingHomePageLauncher>();
        launcher = l.get();
        window.setHomePageLauncher(std::move(l));
        window.setHomePageAddress(QStringLiteral("https://home.example/"));
        window.setProcessEnder([this] { ++endCalls; });
    }
    QString status() const { return window.statusText(); }
    // The window's event loop until a run started has ended; false after 10 s.
    bool runEnds() {
        QDeadlineTimer deadline(10000);
        while (window.isRunning() && !deadline.hasExpired()) {
            QTest::qWait(2);
        }
        return !window.isRunning();
    }
};

// Long enough a split (16,778 pieces) that a stop at once always lands during it.
constexpr std::size_t longSourceSize = 16 * 1024 * 1024;

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDesignTimeState();
    void otherSizeEnablesTheUnitsWithMegabytesChecked();
    void aClickIntoTheCustomBoxSelectsOtherSize();
    void presetsDisableTheUnitsAndKeepTheirCheck();
    void unitBoxesActAsOneChoice();
    void browseFillsSourceDestinationAndSizeLine_data();
    void browseFillsSourceDestinationAndSizeLine();
    void aFirstCancelChangesNothing();
    void aVanishedSourceIsReportedNotFatal();
    void startSplitsTheFileIntoTheDestination();
    void theStartButtonStopsTheRunItStarted();
    void anOutOfRangeSizeIsRefused();
    void quitAndCloseOpenTheHomePageOnceEach();
    void anEmptyHomePageOpensNothing();
    void escAndCloseStopARunAndTheWindowEndsAfterIt();
    void tabOrderFollowsTheLayout();
    void mergeWithAnEmptyNameWarns();
    void destinationAndAboutOpenTheirWindows();
    void mergeJoinsAPickedScript();
    void mergeOfATypedRelativePathWorksInTheScriptsFolder();
    void mergeThatFailsIsNotReportedAsSuccess();
    void aDroppedFileGoesWhereItIsDropped();
    void aDropWithoutAFileChangesNothing();
    void accessKeysPressTheirButtons_data();
    void accessKeysPressTheirButtons();
    void enterPressesTheFocusedButton();
    void keysLeaveTheOptionAndFocusAUserExpects_data();
    void keysLeaveTheOptionAndFocusAUserExpects();
    void framesCarryTheirTitleOnTheirTopLine();
    void aLongProgressLineKeepsThePieceAndThePercentage();
    void startWithoutASourceAsksForOne();
    void messageBoxesSayOkInChinese();
    void theFileDialogCallsAFolderAFolderInChinese();
};

void Form1Test::opensWithTheDesignTimeState() {
    ScriptedForm form;
    form.window.Form_Load();
    QCOMPARE(form.window.windowTitle(), QStringLiteral("Corvane文件切割机v2.0"));
    QVERIFY(form.window.Option1[2]->isChecked());
    QVERIFY(form.window.Check1[0]->isChecked());
    for (QCheckBox* box : form.window.Check1) {
        QVERIFY(!box->isEnabled());
    }
    QVERIFY(form.window.src->isReadOnly());
    QVERIFY(form.window.dec->isReadOnly());
    QVERIFY(!form.window.src1->isReadOnly());
    // One row lower than in the original layout: the recovery row is above the buttons.
    QCOMPARE(form.window.start->geometry(), QRect(40, 274, 53, 24));
    QCOMPARE(form.window.recovery->text(), QStringLiteral("0"));
    QCOMPARE(form.window.findChild<QLineEdit*>("other")->palette().color(QPalette::Text),
             QColor(0, 0, 255));
    QCOMPARE(evaluatePieceSize(form.window.sizeSelection()).value(), 512000);
}

void Form1Test::otherSizeEnablesTheUnitsWithMegabytesChecked() {
    ScriptedForm form;
    form.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    QTest::mouseClick(form.window.Option1[3], Qt::LeftButton);
    for (QCheckBox* box : form.window.Check1) {
        QVERIFY(box->isEnabled());
    }
    QVERIFY(form.window.Check1[0]->isChecked());
    QVERIFY(form.window.other->hasFocus());
    form.window.other->setText(QStringLiteral("3"));
    QCOMPARE(evaluatePieceSize(form.window.sizeSelection()).value(), 3145728);
}

void Form1Test::aClickIntoTheCustomBoxSelectsOtherSize() {
    ScriptedForm form;
    form.window.show();
    QTest::mouseClick(form.window.other, Qt::LeftButton);
    QVERIFY(form.window.Option1[3]->isChecked());
    QVERIFY(form.window.Check1[1]->isEnabled());
}

void Form1Test::presetsDisableTheUnitsAndKeepTheirCheck() {
    ScriptedForm form;
    form.window.show();
    QTest::mouseClick(form.window.Option1[3], Qt::LeftButton);
    QTest::mouseClick(form.window.Check1[1], Qt::LeftButton);
    QTest::mouseClick(form.window.Option1[0], Qt::LeftButton);
    QVERIFY(!form.window.Check1[1]->isEnabled());
    QVERIFY(form.window.Check1[1]->isChecked());
    QCOMPARE(evaluatePieceSize(form.window.sizeSelection()).value(), 1048576);
}

void Form1Test::unitBoxesActAsOneChoice() {
    ScriptedForm form;
    form.window.show();
    auto& units = form.window.Check1;
    QTest::mouseClick(form.window.Option1[3], Qt::LeftButton);
    QTest::mouseClick(units[1], Qt::LeftButton); // MB -> KB
    QVERIFY(!units[0]->isChecked());
    QVERIFY(units[1]->isChecked());
    QVERIFY(!units[2]->isChecked());
    QTest::mouseClick(units[2], Qt::LeftButton); // KB -> Bytes
    QVERIFY(!units[1]->isChecked());
    QVERIFY(units[2]->isChecked());
    QTest::mouseClick(units[2], Qt::LeftButton); // clearing it leaves bytes
    QVERIFY(!units[0]->isChecked() && !units[1]->isChecked() && !units[2]->isChecked());
    form.window.other->setText(QStringLiteral("10"));
    QCOMPARE(evaluatePieceSize(form.window.sizeSelection()).value(), 10);
}

void Form1Test::browseFillsSourceDestinationAndSizeLine_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("sizeLine");
    QTest::newRow("empty") << 0 << QStringLiteral("文件大小： 0KBytes");
    QTest::newRow("128 bytes, a half rounded to even")
        << 128 << QStringLiteral("文件大小： .12KBytes");
    QTest::newRow("1000 bytes") << 1000 << QStringLiteral("文件大小： .98KBytes");
    QTest::newRow("1536 bytes") << 1536 << QStringLiteral("文件大小： 1.5KBytes");
    QTest::newRow("5000000 bytes") << 5000000 << QStringLiteral("文件大小： 4882.81KBytes");
}

void Form1Test::browseFillsSourceDestinationAndSizeLine() {
    QFETCH(int, length);
    QFETCH(QString, sizeLine);
    TempFolder folder;
    const std::string path = folder.file("movie.avi");
    testing_support::writeFile(path, std::string(static_cast<std::size_t>(length), 'm'));
    ScriptedForm form;
    form.dialog->setNextFileName(q(path));
    form.window.browse_Click();
    QCOMPARE(form.window.src->text(), QDir::toNativeSeparators(q(path)));
    QCOMPARE(form.window.dec->text(), QDir::toNativeSeparators(q(folder.prefix())));
    QCOMPARE(form.status(), sizeLine);
    // The folder chooser opens where the chosen file is.
    form.window.saveto_Click();
    QVERIFY(Form2::instance());
    QCOMPARE(Form2::instance()->Text1->text(), QDir::toNativeSeparators(q(folder.prefix())));
    delete Form2::instance();
}

void Form1Test::aFirstCancelChangesNothing() {
    ScriptedForm form;
    form.window.dec->setText(QStringLiteral("kept"));
    form.window.browse_Click();
    QCOMPARE(form.dialog->timesShown(), 1);
    QVERIFY(form.window.src->text().isEmpty());
    QCOMPARE(form.window.dec->text(), QStringLiteral("kept"));
    QVERIFY(form.status().isEmpty());
    QVERIFY(form.messages->texts.isEmpty());
}

void Form1Test::aVanishedSourceIsReportedNotFatal() {
    TempFolder folder;
    ScriptedForm form;
    form.dialog->setNextFileName(q(folder.file("gone.doc")));
    form.window.browse_Click();
    QCOMPARE(form.messages->texts,
             QStringList{QStringLiteral("错误提示信息:文件未找到：") + q(folder.file("gone.doc"))});
}

void Form1Test::startSplitsTheFileIntoTheDestination() {
    TempFolder folder;
    const std::string path = folder.file("book.txt");
    testing_support::writeFile(path, std::string(512000 * 2 + 10, 'b'));
    ScriptedForm form;
    form.dialog->setNextFileName(q(path));
    form.window.browse_Click();
    form.window.start_Click();
    QVERIFY(form.runEnds());
    QCOMPARE(form.status(), QStringLiteral("文件分割操作已经圆满完成!共生成3个分割文件!"));
    QCOMPARE(fs::file_size(folder.file("book003.txt")), 10u);
    QVERIFY(fs::exists(folder.file("book.BAT")));
    QVERIFY(form.messages->texts.isEmpty());
}

// The binding: during a run the start button reads 停止 and a click on it reaches the model.
void Form1Test::theStartButtonStopsTheRunItStarted() {
    TempFolder folder;
    testing_support::writeFile(folder.file("first.txt"), std::string(longSourceSize, 'f'));
    testing_support::writeFile(folder.file("second.txt"), std::string(50, 's'));
    ScriptedForm form;
    form.window.show();
    QTest::mouseClick(form.window.Option1[3], Qt::LeftButton);
    QTest::mouseClick(form.window.Check1[2], Qt::LeftButton);
    form.window.other->setText(QStringLiteral("1000"));
    form.window.src->setText(q(folder.file("first.txt")));
    form.window.dec->setText(q(folder.prefix()));
    // A click meant as a stop: with no double-click time, the click at once is one.
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
    form.window.start_Click();
    const QString caption = form.window.start->text();
    form.window.start->click();
    QVERIFY(form.runEnds());
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(interval);
    QCOMPARE(caption, QStringLiteral("停止(&S)"));
    QCOMPARE(form.window.start->text(), QStringLiteral("切割(&S)"));
    QVERIFY(form.status().startsWith(QStringLiteral("已停止：")));
    QVERIFY(!fs::exists(folder.file("first001.txt")));
    QVERIFY(!fs::exists(folder.file("first.BAT")));
}

void Form1Test::anOutOfRangeSizeIsRefused() {
    TempFolder folder;
    testing_support::writeFile(folder.file("x.txt"), "0123456789");
    ScriptedForm form;
    form.window.other_Click();
    form.window.other->setText(QStringLiteral("8796093022208"));
    form.window.src->setText(q(folder.file("x.txt")));
    form.window.start_Click();
    QCOMPARE(form.messages->texts,
             QStringList{QStringLiteral("分割后文件大小超出范围,请重新设置!")});
    QVERIFY(!fs::exists(folder.file("x001.txt")));
}

void Form1Test::quitAndCloseOpenTheHomePageOnceEach() {
    {
        ScriptedForm form;
        form.window.show();
        form.window.quit->click();
        QCOMPARE(form.launcher->launched, QStringList{QStringLiteral("https://home.example/")});
        QCOMPARE(form.endCalls, 1);
    }
    {
        ScriptedForm form;
        form.window.show();
        form.window.close();
        QCOMPARE(form.launcher->launched, QStringList{QStringLiteral("https://home.example/")});
        QCOMPARE(form.endCalls, 1);
    }
}

void Form1Test::anEmptyHomePageOpensNothing() {
    ScriptedForm form;
    form.window.setHomePageAddress(QString());
    form.window.quit_Click();
    QVERIFY(form.launcher->launched.isEmpty());
    QCOMPARE(form.endCalls, 1);
}

// Esc reaches the model's stop; closing the window during a run keeps it open and live
// until the run has stopped, then the program ends once, as after a quit.
void Form1Test::escAndCloseStopARunAndTheWindowEndsAfterIt() {
    TempFolder folder;
    testing_support::writeFile(folder.file("long.bin"), std::string(longSourceSize, 'l'));
    for (const bool byClosing : {false, true}) {
        ScriptedForm form;
        form.window.show();
        form.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.window.other_Click();
        form.window.Check1[2]->click();
        form.window.other->setText(QStringLiteral("1000"));
        form.window.src->setText(q(folder.file("long.bin")));
        form.window.dec->setText(q(folder.prefix()));
#ifdef __linux__
        const auto filesBefore = openFileCount();
#endif
        form.window.start_Click();
        if (byClosing) {
            form.window.close();
        } else {
            QTest::keyClick(&form.window, Qt::Key_Escape);
        }
        QVERIFY(form.window.isVisible());
        QVERIFY(form.runEnds());
        QCOMPARE(form.endCalls, byClosing ? 1 : 0);
        QCOMPARE(form.launcher->launched.size(), byClosing ? 1 : 0);
        QVERIFY(!fs::exists(folder.file("long001.bin")));
        QVERIFY(!fs::exists(folder.file("long.BAT")));
        QVERIFY(!form.window.isRunning());
#ifdef __linux__
        QCOMPARE(openFileCount(), filesBefore);
#endif
    }
}

void Form1Test::tabOrderFollowsTheLayout() {
    ScriptedForm form;
    Form1& w = form.window;
    const QList<QWidget*> expected = {w.src,        w.dec,        w.browse,    w.saveto,
                                      w.src1,       w.Command3,   w.recovery,  w.start,
                                      w.copy,       w.about,      w.quit,      w.other,
                                      w.Check1[0],  w.Check1[1],  w.Check1[2], w.Option1[0],
                                      w.Option1[1], w.Option1[2], w.Option1[3]};
    QWidget* at = w.src;
    for (int i = 1; i < expected.size(); ++i) {
        do {
            at = at->nextInFocusChain();
        } while (!expected.contains(at));
        QCOMPARE(at, expected[i]);
    }
}

void Form1Test::mergeWithAnEmptyNameWarns() {
    ScriptedForm form;
    form.window.copy_Click();
    QCOMPARE(form.messages->texts, QStringList{QStringLiteral("请输入要合并的文件！")});
}

namespace {
// Splits a file in the folder through the window and removes the source.
std::string splitThroughWindow(ScriptedForm& form, const TempFolder& folder) {
    const std::string content = testing_support::randomBytes(512000 * 2 + 77, 11);
    testing_support::writeFile(folder.file("data.bin"), content);
    form.dialog->setNextFileName(q(folder.file("data.bin")));
    form.window.browse_Click();
    form.window.start_Click();
    form.runEnds();
    fs::remove(fs::u8path(folder.file("data.bin")));
    return content;
}
} // namespace

void Form1Test::mergeJoinsAPickedScript() {
    TempFolder folder;
    ScriptedForm form;
    const std::string content = splitThroughWindow(form, folder);
    form.dialog->setNextFileName(q(folder.file("data.BAT")));
    form.window.Command3_Click();
    QCOMPARE(form.window.src1->text(), QDir::toNativeSeparators(q(folder.file("data.BAT"))));
    form.window.Command3_Click(); // a cancel puts the previous name back
    QCOMPARE(form.window.src1->text(), QDir::toNativeSeparators(q(folder.file("data.BAT"))));
    form.window.copy_Click();
    QVERIFY(form.runEnds());
    QVERIFY(form.status().startsWith(QStringLiteral("合并成功！")));
    QVERIFY(testing_support::readFile(folder.file("data.bin")) == content);
    QVERIFY(form.messages->texts.isEmpty());
}

void Form1Test::mergeOfATypedRelativePathWorksInTheScriptsFolder() {
    TempFolder folder;
    fs::create_directory(folder.path() / "pieces");
    TempFolder pieces;
    ScriptedForm form;
    const std::string content = splitThroughWindow(form, pieces);
    fs::rename(pieces.path(), folder.path() / "pieces" / "in");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    form.window.src1->setText(QStringLiteral("pieces/in/data.BAT"));
    form.window.copy_Click();
    QVERIFY(form.runEnds());
    fs::current_path(previous);
    fs::create_directory(pieces.path()); // for the folder's own clean-up
    QVERIFY(form.status().startsWith(QStringLiteral("合并成功！")));
    QVERIFY(testing_support::readFile(folder.file("pieces/in/data.bin")) == content);
    QVERIFY(!fs::exists(folder.path() / "data.bin"));
}

void Form1Test::mergeThatFailsIsNotReportedAsSuccess() {
    TempFolder folder;
    ScriptedForm form;
    splitThroughWindow(form, folder);
    fs::remove(fs::u8path(folder.file("data002.bin")));
    form.window.src1->setText(q(folder.file("data.BAT")));
    form.window.copy_Click();
    QVERIFY(form.runEnds());
    QCOMPARE(form.messages->texts.size(), 1);
    QVERIFY(form.messages->texts.front().startsWith(QStringLiteral("错误提示信息:")));
    QVERIFY(!form.status().startsWith(QStringLiteral("合并成功")));
    QVERIFY(!fs::exists(folder.file("data.bin")));
}

void Form1Test::destinationAndAboutOpenTheirWindows() {
    TempFolder folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(q(folder.prefix()));
    ScriptedForm form;
    form.window.show();
    QTest::mouseClick(form.window.saveto, Qt::LeftButton);
    QVERIFY(Form2::instance() && Form2::instance()->isVisible());
    Form2::instance()->Command1->click();
    QCOMPARE(form.window.dec->text(),
             QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator());
    QTest::mouseClick(form.window.about, Qt::LeftButton);
    QVERIFY(frmAbout::instance() && frmAbout::instance()->isVisible());
    delete Form2::instance();
    delete frmAbout::instance();
    QDir::setCurrent(previous);
}

namespace {
// Delivers a drop of the given files at a point inside the widget, as the window system does.
void dropOn(Form1& window, QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPointF at = target->mapTo(&window, target->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
}
} // namespace

void Form1Test::aDroppedFileGoesWhereItIsDropped() {
    TempFolder folder;
    testing_support::writeFile(folder.file("data.bin"), std::string(2048, 'x'));
    testing_support::writeFile(folder.file("data.BAT"), "COPY/B data001.bin/B data.bin/B\r\n");
    const QUrl data = QUrl::fromLocalFile(q(folder.file("data.bin")));
    const QUrl script = QUrl::fromLocalFile(q(folder.file("data.BAT")));
    ScriptedForm form;
    Form1& w = form.window;

    dropOn(w, w.src, {data});
    QCOMPARE(w.src->text(), q(folder.file("data.bin")));
    QCOMPARE(w.dec->text(), q(folder.prefix()));
    QCOMPARE(form.status(), QStringLiteral("文件大小： 2KBytes"));

    dropOn(w, w.Frame4, {script, data});
    QCOMPARE(w.src1->text(), q(folder.file("data.BAT")));
    QCOMPARE(w.src->text(), q(folder.file("data.bin")));
    QVERIFY(form.messages->texts.isEmpty());
}

void Form1Test::aDropWithoutAFileChangesNothing() {
    TempFolder folder;
    ScriptedForm form;
    Form1& w = form.window;
    dropOn(w, w.src, {QUrl::fromLocalFile(q(folder.prefix()))});
    dropOn(w, w.src1, {QUrl(QStringLiteral("https://example.org/a.bin"))});
    dropOn(w, w.start, {});
    QVERIFY(w.src->text().isEmpty());
    QVERIFY(w.src1->text().isEmpty());
    QVERIFY(form.messages->texts.isEmpty());
}

void Form1Test::accessKeysPressTheirButtons_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::newRow("S") << int(Qt::Key_S) << "start";
    QTest::newRow("C") << int(Qt::Key_C) << "copy";
    QTest::newRow("A") << int(Qt::Key_A) << "about";
}

void Form1Test::accessKeysPressTheirButtons() {
    QFETCH(int, key);
    QFETCH(QString, button);
    ScriptedForm form;
    form.window.setAboutBoxOpener([] {});
    form.window.show();
    QApplication::setActiveWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    auto* pressed = form.window.findChild<QPushButton*>(button);
    QVERIFY(pressed);
    QSignalSpy clicks(pressed, &QPushButton::clicked);
    // Through the window system, where shortcuts are matched.
    QTest::keyClick(form.window.windowHandle(), static_cast<Qt::Key>(key), Qt::AltModifier);
    // An access key animates the click: the button lets go a moment later.
    QTRY_COMPARE(clicks.count(), 1);
}

// Enter presses the button that has the focus, as Space does.
void Form1Test::enterPressesTheFocusedButton() {
    ScriptedForm form;
    form.window.setAboutBoxOpener([] {});
    form.window.show();
    auto* about = form.window.findChild<QPushButton*>(QStringLiteral("about"));
    QVERIFY(about);
    QSignalSpy clicks(about, &QPushButton::clicked);
    about->setFocus();
    QTest::keyClick(about, Qt::Key_Return);
    QTest::keyClick(about, Qt::Key_Enter);
    QCOMPARE(clicks.count(), 2);
}

QTEST_MAIN(Form1Test)
// What a person's keys leave selected and focused, starting from one option and one
// focused control; the size is what Start would then hand on.
void Form1Test::keysLeaveTheOptionAndFocusAUserExpects_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("expectedOption");
    QTest::addColumn<QString>("expectedFocus");
    QTest::addColumn<int>("expectedSize");
    // ">" is the Right arrow, "\t" Tab, "<" Shift+Tab; other characters are typed.
    QTest::newRow("arrow onto other size, then type") << 2 << "Option1_2"
                                                      << ">7" << 3 << "other" << 7 * 1048576;
    QTest::newRow("tab into the custom box, then type") << 2 << "quit"
                                                        << "\t3" << 3 << "other" << 3 * 1048576;
    QTest::newRow("shift+tab into the options lands on 500KB") << 2 << "src"
                                                               << "<" << 2 << "Option1_2" << 512000;
    QTest::newRow("shift+tab into the options lands on 1MB") << 0 << "src"
                                                             << "<" << 0 << "Option1_0" << 1048576;
    QTest::newRow("arrow from 1MB to 500KB keeps focus there") << 0 << "Option1_0"
                                                               << ">" << 2 << "Option1_2" << 512000;
}

void Form1Test::keysLeaveTheOptionAndFocusAUserExpects() {
    QFETCH(int, selected);
    QFETCH(QString, from);
    QFETCH(QString, keys);
    ScriptedForm form;
    form.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.window.activateWindow();
    form.window.Option1[static_cast<std::size_t>(selected)]->setChecked(true);
    auto* start = form.window.findChild<QWidget*>(from);
    QVERIFY(start);
    start->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    for (const QChar key : keys) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        if (key == QLatin1Char('>')) {
            QTest::keyClick(target, Qt::Key_Right);
        } else if (key == QLatin1Char('\t')) {
            QTest::keyClick(target, Qt::Key_Tab);
        } else if (key == QLatin1Char('<')) {
            QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
        } else {
            QTest::keyClicks(target, QString(key));
        }
        QApplication::processEvents();
    }
    QTEST(form.window.sizeSelection().selectedOption, "expectedOption");
    QVERIFY(QApplication::focusWidget());
    QTEST(QApplication::focusWidget()->objectName(), "expectedFocus");
    QTEST(static_cast<int>(evaluatePieceSize(form.window.sizeSelection()).value()), "expectedSize");
}

void Form1Test::framesCarryTheirTitleOnTheirTopLine() {
    ScriptedForm form;
    for (QGroupBox* frame : {form.window.Frame1, form.window.Frame3, form.window.Frame4}) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect line = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxFrame, frame);
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        QVERIFY2(title.top() < line.top() && line.top() < title.bottom(),
                 qPrintable(frame->title()));
        int firstRow = frame->height();
        for (const QWidget* child :
             frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            firstRow = std::min(firstRow, child->y());
        }
        QVERIFY2(line.top() < firstRow && title.bottom() <= firstRow + 2,
                 qPrintable(frame->title()));
    }
}

void Form1Test::aLongProgressLineKeepsThePieceAndThePercentage() {
    TempFolder folder;
    const fs::path deep = folder.path() / std::string(60, 'd') / std::string(60, 'e');
    fs::create_directories(deep);
    testing_support::writeFile(folder.file("long.txt"), std::string(3000, 'l'));
    ScriptedForm form;
    form.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.window.src->setText(q(folder.file("long.txt")));
    form.window.dec->setText(q(testing_support::utf8(deep) + "/"));
    QTest::mouseClick(form.window.Option1[3], Qt::LeftButton);
    QTest::mouseClick(form.window.Check1[2], Qt::LeftButton);
    form.window.other->setText(QStringLiteral("1000"));
    auto* line = form.window.findChild<QLabel*>(QStringLiteral("statusLine"));
    auto* bar = form.window.findChild<QProgressBar*>(QStringLiteral("progress"));
    QVERIFY(line && bar);
    form.window.start_Click();
    QVERIFY(form.runEnds());
    QVERIFY(!bar->isVisible());
    form.window.setStatus("正在处理：" + testing_support::utf8(deep) + "/long001.txt  33.33%");
    QVERIFY(line->text().endsWith(QStringLiteral("long001.txt  33.33%")));
    QVERIFY(line->text().contains(QStringLiteral("…")));
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
    QCOMPARE(line->toolTip(), form.status());
}

void Form1Test::startWithoutASourceAsksForOne() {
    ScriptedForm form;
    form.window.start_Click();
    QCOMPARE(form.messages->texts, QStringList{QStringLiteral("请选择要分割的文件！")});
}

void Form1Test::messageBoxesSayOkInChinese() {
    QVERIFY(installChineseQtTranslations(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
}

void Form1Test::theFileDialogCallsAFolderAFolderInChinese() {
    TempFolder folder;
    testing_support::writeFile(folder.file("a.bin"), "a");
    const FolderNamingIconProvider types;
    QCOMPARE(types.type(QFileInfo(q(folder.prefix()))), QStringLiteral("文件夹"));
    QVERIFY(types.type(QFileInfo(q(folder.file("a.bin")))) != QStringLiteral("文件夹"));
}

#include "form1_test.moc"
