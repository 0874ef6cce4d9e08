#include "main_window/status_line.h"

#include <QTest>

// Room counted in characters, so the table reads plainly.
static std::size_t length(const std::string& text) {
    return QString::fromStdString(text).size();
}

class StatusLineTest : public QObject {
    Q_OBJECT

private slots:
    void showsWhatMattersInTheRoomItHas_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "正在处理：/a/b001.txt  50.00%" << 40
                              << "正在处理：/a/b001.txt  50.00%";
        QTest::newRow("folder gives way")
            << "正在处理：/home/user/long folder/report001.doc  33.33%" << 36
            << "正在处理：/hom…lder/report001.doc  33.33%";
        QTest::newRow("Windows folder") << "正在处理：E:\\很长的文件夹名称\\book001.txt  7.00%"
                                        << 28 << "正在处理：E:…称\\book001.txt  7.00%";
        QTest::newRow("no folder left")
            << "正在处理：/abcdef/x001.txt  1.00%" << 22 << "正在处理：…/x001.txt  1.00%";
        QTest::newRow("other text")
            << "文件分割操作已经圆满完成!共生成3个分割文件!" << 10 << "文件分割操…割文件!";
    }

    void showsWhatMattersInTheRoomItHas() {
        QFETCH(QString, text);
        QFETCH(int, room);
        const std::string shown =
            shownStatus(text.toStdString(), [&](const std::string& candidate) {
                return length(candidate) <= static_cast<std::size_t>(room);
            });
        QTEST(QString::fromStdString(shown), "shown");
    }
};

QTEST_GUILESS_MAIN(StatusLineTest)
#include "status_line_test.moc"
