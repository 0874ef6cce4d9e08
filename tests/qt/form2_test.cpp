#include "app/twips.h"
#include "folder_chooser/folder_text.h"
#include "folder_chooser/form2_layout.h"
#include "qt/drives.h"
#include "qt/folder_list.h"
#include "qt/form2.h"
#include "temp_folder.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
using testing_support::TempFolder;

namespace {
QString native(const fs::path& path) {
    return QDir::toNativeSeparators(QString::fromStdString(testing_support::utf8(path)));
}

// Double-clicks the row of the folder list that shows name.
void openFolder(Form2* chooser, const QString& name) {
    const auto items = chooser->Dir1->findItems(name, Qt::MatchEndsWith);
    QVERIFY(!items.isEmpty());
    chooser->Dir1->setCurrentItem(items.front());
    emit chooser->Dir1->itemActivated(items.front());
}
} // namespace

class Form2Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void okAtOnceCopiesTheStartFolderWithItsSeparator();
    void aDoubleClickOpensAFolderAndASingleClickDoesNot();
    void typedTextIsCopiedUnchanged();
    void cancelAndEscapeKeepTheStateButChangeNothing();
    void theCloseButtonUnloadsAndTheNextOpeningStartsAfresh();
    void aRootFolderGetsOneSeparator();
    void hasTheLayoutAndNoDefaultButton();

private:
    std::unique_ptr<TempFolder> folder_;
    QString startFolder_;
    QStringList received_;
    QString previous_;
    Form2* open() {
        return Form2::showInstance([this](const QString& text) { received_.append(text); });
    }
};

void Form2Test::init() {
    folder_ = std::make_unique<TempFolder>();
    fs::create_directory(folder_->path() / "data");
    fs::create_directory(folder_->path() / "data" / "deeper");
    fs::create_directory(folder_->path() / "other");
    previous_ = QDir::currentPath();
    QDir::setCurrent(native(folder_->path()));
    startFolder_ = QDir::toNativeSeparators(QDir::currentPath());
    received_.clear();
}

void Form2Test::cleanup() {
    delete Form2::instance();
    QDir::setCurrent(previous_);
    folder_.reset();
}

void Form2Test::okAtOnceCopiesTheStartFolderWithItsSeparator() {
    Form2* chooser = open();
    QCOMPARE(chooser->Text1->text(), startFolder_ + QDir::separator());
    chooser->Command1->click();
    QCOMPARE(received_, QStringList{startFolder_ + QDir::separator()});
    QVERIFY(chooser->isHidden());
}

void Form2Test::aDoubleClickOpensAFolderAndASingleClickDoesNot() {
    Form2* chooser = open();
    const auto items = chooser->Dir1->findItems(QStringLiteral("data"), Qt::MatchEndsWith);
    QVERIFY(!items.isEmpty());
    chooser->Dir1->setCurrentItem(items.front()); // a single click highlights only
    QCOMPARE(chooser->Text1->text(), startFolder_ + QDir::separator());
    openFolder(chooser, QStringLiteral("data"));
    const QString data = startFolder_ + QDir::separator() + "data";
    QCOMPARE(chooser->Dir1->path(), data);
    QCOMPARE(chooser->Text1->text(), data + QDir::separator());
    QVERIFY(!chooser->Dir1->findItems(QStringLiteral("deeper"), Qt::MatchEndsWith).isEmpty());
    chooser->Command1->click();
    QCOMPARE(received_, QStringList{data + QDir::separator()});
}

void Form2Test::typedTextIsCopiedUnchanged() {
    Form2* chooser = open();
    chooser->Text1->setText(QStringLiteral("no such folder"));
    QTest::keyClick(chooser->Text1, Qt::Key_Return); // Enter presses nothing
    QVERIFY(received_.isEmpty());
    chooser->Command1->click();
    QCOMPARE(received_, QStringList{QStringLiteral("no such folder")});
}

void Form2Test::cancelAndEscapeKeepTheStateButChangeNothing() {
    Form2* chooser = open();
    openFolder(chooser, QStringLiteral("other"));
    chooser->Command2->click();
    QVERIFY(chooser->isHidden());
    QVERIFY(received_.isEmpty());
    Form2* again = open();
    QCOMPARE(again, chooser);
    QCOMPARE(again->Text1->text(), startFolder_ + QDir::separator() + "other" + QDir::separator());
    QTest::keyClick(again, Qt::Key_Escape);
    QVERIFY(again->isHidden());
    QVERIFY(received_.isEmpty());
}

void Form2Test::theCloseButtonUnloadsAndTheNextOpeningStartsAfresh() {
    Form2* chooser = open();
    openFolder(chooser, QStringLiteral("data"));
    chooser->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Form2::instance() == nullptr);
    QDir::setCurrent(native(folder_->path() / "other"));
    Form2* fresh = open();
    QCOMPARE(fresh->Text1->text(),
             QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator());
}

void Form2Test::aRootFolderGetsOneSeparator() {
    Form2* chooser = open();
    // The drive's root is the first row: opened, the field shows it with one separator.
    emit chooser->Dir1->itemActivated(chooser->Dir1->item(0));
    QCOMPARE(chooser->Text1->text(), QString::fromStdString(folder_text::prefixOf(
                                         chooser->model().drive(), QDir::separator().toLatin1())));
}

void Form2Test::hasTheLayoutAndNoDefaultButton() {
    Form2* chooser = open();
    QCOMPARE(chooser->windowTitle(), QStringLiteral("文件放在"));
    QCOMPARE(chooser->size(), QSize(314, 197));
    for (const auto& entry : folder_chooser::layout::form2) {
        const auto* shown = chooser->findChild<QWidget*>(QString::fromLatin1(entry.name));
        QVERIFY2(shown, entry.name);
        QCOMPARE(shown->pos(), QPoint(layout::twips(entry.left), layout::twips(entry.top)));
        if (entry.kind != folder_chooser::layout::Kind::Label) { // a label fits its text
            QCOMPARE(shown->size(), QSize(layout::twips(entry.width), layout::twips(entry.height)));
        }
    }
    QVERIFY(!chooser->Command1->isDefault() && !chooser->Command2->isDefault());
    QVERIFY(!(chooser->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(chooser->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(chooser->windowFlags() & Qt::WindowCloseButtonHint);
    chooser->resize(600, 400);
    QCOMPARE(chooser->Dir1->geometry(), QRect(8, 40, 297, 90));
}

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
