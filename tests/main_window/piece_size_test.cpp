#include "main_window/piece_size.h"

#include <QTest>

class PieceSizeTest : public QObject {
    Q_OBJECT

private slots:
    void evaluatesTheSelection_data();
    void evaluatesTheSelection();
    void takesCharactersNotBytesFromCaptions();
};

namespace {
const std::array<std::string, 4> captions = {"1MB", "1.38MB", "500KB（手机电子书）", "其它容量"};
enum Unit { None = -1, MB = 0, KB = 1, Bytes = 2 };
} // namespace

void PieceSizeTest::evaluatesTheSelection_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("outOfRange");

    QTest::newRow("1MB preset") << 0 << "" << int(MB) << 1048576 << false;
    QTest::newRow("1.38MB preset") << 1 << "" << int(MB) << 1447035 << false;
    QTest::newRow("opening state 500KB") << 2 << "" << int(MB) << 512000 << false;
    QTest::newRow("presets ignore the units") << 2 << "9" << int(KB) << 512000 << false;
    QTest::newRow("other, MB checked") << 3 << "3" << int(MB) << 3145728 << false;
    QTest::newRow("other, empty") << 3 << "" << int(MB) << 0 << false;
    QTest::newRow("other 10 KB") << 3 << "10" << int(KB) << 10240 << false;
    QTest::newRow("other 2 MB") << 3 << "2" << int(MB) << 2097152 << false;
    QTest::newRow("other 700 no unit") << 3 << "700" << int(None) << 700 << false;
    QTest::newRow("other 700 Bytes") << 3 << "700" << int(Bytes) << 700 << false;
    QTest::newRow("other 2047 MB") << 3 << "2047" << int(MB) << 2146435072 << false;
    QTest::newRow("unit before rounding 1.5 MB") << 3 << "1.5" << int(MB) << 1572864 << false;
    QTest::newRow("unit before rounding 0.5 KB") << 3 << "0.5" << int(KB) << 512 << false;
    QTest::newRow("bytes half to even 2.5") << 3 << "2.5" << int(None) << 2 << false;
    QTest::newRow("bytes half to even 3.5") << 3 << "3.5" << int(Bytes) << 4 << false;
    QTest::newRow("largest piece") << 3 << "2147483647" << int(None) << 2147483647 << false;
    QTest::newRow("2048 MB out of range") << 3 << "2048" << int(MB) << 0 << true;
    QTest::newRow("3000 MB out of range") << 3 << "3000" << int(MB) << 0 << true;
    QTest::newRow("huge number out of range") << 3 << "1e400" << int(None) << 0 << true;
    QTest::newRow("zero handed on") << 3 << "0" << int(KB) << 0 << false;
    QTest::newRow("negative handed on") << 3 << "-4" << int(KB) << -4096 << false;
    QTest::newRow("prefix with blanks") << 3 << " 1 0 abc" << int(KB) << 10240 << false;
    QTest::newRow("hex literal") << 3 << "&H10" << int(None) << 16 << false;
}

void PieceSizeTest::evaluatesTheSelection() {
    QFETCH(int, option);
    QFETCH(QString, text);
    QFETCH(int, unit);
    QFETCH(int, size);
    QFETCH(bool, outOfRange);

    SizeSelection selection;
    selection.selectedOption = option;
    selection.captions = captions;
    selection.customText = text.toStdString();
    if (unit >= 0) {
        selection.unitChecked[static_cast<std::size_t>(unit)] = true;
    }
    const PieceSizeResult result = evaluatePieceSize(selection);
    QCOMPARE(result.size, size);
    QCOMPARE(result.outOfRange, outOfRange);
}

void PieceSizeTest::takesCharactersNotBytesFromCaptions() {
    QCOMPARE(firstCharacters("500KB（手机电子书）", 4), std::string("500K"));
    QCOMPARE(firstCharacters("其它容量", 2), std::string("其它"));
    QCOMPARE(firstCharacters("1MB", 4), std::string("1MB"));
}

QTEST_APPLESS_MAIN(PieceSizeTest)
#include "piece_size_test.moc"
