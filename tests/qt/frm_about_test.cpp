#include "qt/frm_about.h"

#include "about_box/about_layout.h"
#include "app/twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

class FrmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { delete frmAbout::instance(); }
    void showsTheApplicationFacts();
    void drawsEveryLabelFromTheTable();
    void opensAtTheSamePlaceEveryTime();
    void onlyABackgroundClickClosesIt();
    void keysDoNotCloseIt();
};

namespace {
bool unloaded() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return frmAbout::instance() == nullptr;
}
} // namespace

void FrmAboutTest::showsTheApplicationFacts() {
    frmAbout* box = frmAbout::showInstance();
    QCOMPARE(box->windowTitle(), QStringLiteral("关于 Corvane文件切割机2.0"));
    QCOMPARE(box->lblVersion->text(), QStringLiteral("版本 2.0.0"));
    QCOMPARE(box->lblTitle->text(), QStringLiteral("Corvane文件切割机2.0"));
    QCOMPARE(box->palette().color(QPalette::Window), QColor(255, 192, 192));
    QVERIFY(box->lblTitle->font().pointSizeF() <= 21.75);
    QVERIFY(box->lblTitle->fontMetrics().horizontalAdvance(box->lblTitle->text()) <=
            box->lblTitle->width());
    QCOMPARE(box->size(), QSize(307, 161));
    QVERIFY(box->windowFlags() & Qt::Tool); // no taskbar button
}

// Each label at its place, in its colour, with its text; a line sized to its text shows all
// of it.
void FrmAboutTest::drawsEveryLabelFromTheTable() {
    frmAbout* box = frmAbout::showInstance();
    for (const about_box::Label& entry : about_box::labels) {
        const auto* shown = box->findChild<QLabel*>(QString::fromLatin1(entry.name));
        QVERIFY2(shown, entry.name);
        QCOMPARE(shown->pos(), QPoint(layout::twips(entry.left), layout::twips(entry.top)));
        if (!entry.sizedToText) {
            QCOMPARE(shown->size(), QSize(layout::twips(entry.width), layout::twips(entry.height)));
        }
        QCOMPARE(shown->palette().color(QPalette::WindowText),
                 QColor(entry.colour.red, entry.colour.green, entry.colour.blue));
        QCOMPARE(shown->text(), QString::fromStdString(about_box::textOf(entry.text)));
        if (entry.sizedToText) {
            QVERIFY2(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width(),
                     entry.name);
        }
        QCOMPARE(shown->font().bold(), entry.bold);
    }
}

void FrmAboutTest::opensAtTheSamePlaceEveryTime() {
    const QPoint screenOrigin = QGuiApplication::primaryScreen()->geometry().topLeft();
    frmAbout* box = frmAbout::showInstance();
    QCOMPARE(box->geometry().topLeft(), screenOrigin + QPoint(156, 129));
    box->move(400, 300);
    frmAbout::showInstance();
    QCOMPARE(box->geometry().topLeft(), screenOrigin + QPoint(156, 129));
}

void FrmAboutTest::onlyABackgroundClickClosesIt() {
    frmAbout* box = frmAbout::showInstance();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::mouseClick(box->lblTitle, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(box->lblVersion, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(box->Image1, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!unloaded());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(300, 100));
    QVERIFY(unloaded());
    // The next opening loads it afresh.
    QVERIFY(frmAbout::showInstance()->lblVersion->text() == QStringLiteral("版本 2.0.0"));
}

void FrmAboutTest::keysDoNotCloseIt() {
    frmAbout* box = frmAbout::showInstance();
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!unloaded());
    QVERIFY(box->isVisible());
}

QTEST_MAIN(FrmAboutTest)
#include "frm_about_test.moc"
