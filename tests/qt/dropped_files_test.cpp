#include "qt/dropped_files.h"
#include "temp_folder.h"

#include <QDir>
#include <QTest>

#include <filesystem>

using testing_support::TempFolder;

class DroppedFilesTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstLocalFileIsTaken_data();
    void theFirstLocalFileIsTaken();

private:
    TempFolder folder;
};

// Rows name the dropped entries; "-" marks the expected answer as none.
void DroppedFilesTest::theFirstLocalFileIsTaken_data() {
    std::filesystem::create_directory(folder.path() / "a folder");
    testing_support::writeFile(folder.file("one.bin"), "1");
    testing_support::writeFile(folder.file("two 说明.txt"), "2");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QString>("taken");
    QTest::newRow("one file") << QStringList{"one.bin"} << "one.bin";
    QTest::newRow("several files") << QStringList{"two 说明.txt", "one.bin"} << "two 说明.txt";
    QTest::newRow("a folder before a file") << QStringList{"a folder", "one.bin"} << "one.bin";
    QTest::newRow("a remote address before a file")
        << QStringList{"https://example.org/x.bin", "one.bin"} << "one.bin";
    QTest::newRow("only a folder") << QStringList{"a folder"} << "-";
    QTest::newRow("a file that is gone") << QStringList{"gone.bin"} << "-";
    QTest::newRow("nothing") << QStringList{} << "-";
}

void DroppedFilesTest::theFirstLocalFileIsTaken() {
    QFETCH(QStringList, dropped);
    QFETCH(QString, taken);
    QList<QUrl> urls;
    for (const QString& name : dropped) {
        urls.append(name.startsWith("https:") ? QUrl(name)
                                              : QUrl::fromLocalFile(QString::fromStdString(
                                                    folder.file(name.toStdString()))));
    }
    const QString expected =
        taken == "-" ? QString() : QString::fromStdString(folder.file(taken.toStdString()));
    QCOMPARE(firstDroppedFile(urls), expected);
}

QTEST_GUILESS_MAIN(DroppedFilesTest)
#include "dropped_files_test.moc"
