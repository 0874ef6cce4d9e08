#include "qt/frm_about.h"

#include "about_box/about_text.h"
#include "app/twips.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

using layout::twips;

namespace {

QPointer<frmAbout> loaded;

QLabel* label(QWidget* parent, const char* name, int left, int top, int width, int height,
              const QColor& colour) {
    auto* text = new QLabel(parent);
    text->setObjectName(QString::fromLatin1(name));
    text->setGeometry(twips(left), twips(top), twips(width), twips(height));
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, colour);
    text->setPalette(palette);
    return text;
}

// The Chinese Windows faces first, then similar faces that Debian ships.
QFont chineseFont(const QStringList& families, qreal points, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

const QStringList brushFaces = {QStringLiteral("LiSu"), QStringLiteral("隶书"),
                                QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB"),
                                QStringLiteral("Noto Serif CJK SC")};
const QStringList weiFaces = {QStringLiteral("STXinwei"), QStringLiteral("华文新魏"),
                              QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC")};
const QStringList songFaces = {QStringLiteral("SimSun"), QStringLiteral("宋体"),
                               QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("Noto Serif CJK SC")};

} // namespace

frmAbout* frmAbout::showInstance() {
    if (!loaded) {
        loaded = new frmAbout();
        loaded->Form_Load();
    }
    // Client area's top-left corner at a fixed place, wherever the main window is.
    QRect geometry(twips(2340), twips(1935), twips(4605), twips(2415));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        geometry.translate(screen->geometry().topLeft());
    }
    loaded->setGeometry(geometry);
    loaded->show();
    loaded->raise();
    return loaded;
}

frmAbout* frmAbout::instance() {
    return loaded;
}

frmAbout::frmAbout()
    : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(4605), twips(2415));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 192, 192));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    Image1 = label(this, "Image1", 0, 0, 720, 720, Qt::black);
    Image1->setPixmap(QApplication::windowIcon().pixmap(48, 48));

    lblTitle = label(this, "lblTitle", 960, 120, 3405, 480, QColor(0, 128, 0));
    lblTitle->setFont(chineseFont(brushFaces, 21.75, true));
    lblTitle->setWordWrap(true);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblVersion = label(this, "lblVersion", 1920, 600, 1125, 225, QColor(128, 128, 255));
    lblVersion->setWordWrap(true);

    // Author and e-mail lines stay empty: there is no person or address to name.
    Label1 = label(this, "Label1", 1200, 960, 2100, 285, QColor(192, 0, 0));
    Label1->setFont(chineseFont(weiFaces, 14.25, true));
    Label2 = label(this, "Label2", 840, 1440, 2880, 240, QColor(0, 0, 255));
    Label2->setFont(chineseFont(songFaces, 12, false));
    lblDescription = label(this, "lblDescription", 120, 2040, 4410, 180, QColor(192, 64, 0));
    lblDescription->setText(QString::fromUtf8(about_text::notice));
    for (QLabel* sized : {Label1, Label2, lblDescription}) {
        sized->adjustSize();
    }
}

void frmAbout::Form_Load() {
    setWindowTitle(QString::fromStdString(about_text::caption()));
    lblVersion->setText(QString::fromStdString(about_text::versionLine()));
    lblTitle->setText(QString::fromStdString(about_text::title()));
    // The stand-in faces run wider than the Windows brush face; shrink the title
    // until it fits its one line rather than cut it off.
    QFont font = lblTitle->font();
    while (font.pointSizeF() > 12 &&
           QFontMetrics(font).horizontalAdvance(lblTitle->text()) > lblTitle->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.75);
    }
    lblTitle->setFont(font);
}

void frmAbout::Form_Click() {
    close();
}

void frmAbout::mousePressEvent(QMouseEvent* event) {
    // Labels pass their clicks on to us; only the bare background closes the box.
    if (childAt(event->position().toPoint()) == nullptr) {
        Form_Click();
        return;
    }
    QWidget::mousePressEvent(event);
}
