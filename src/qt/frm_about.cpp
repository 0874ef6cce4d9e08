#include "qt/frm_about.h"

#include "about_box/about_layout.h"
#include "about_box/about_text.h"
#include "app/twips.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

using layout::twips;

namespace table = about_box;

namespace {

QPointer<frmAbout> loaded;

QColor colourOf(table::Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The Chinese Windows faces first, then similar faces that Debian ships.
QStringList familiesOf(table::Face face) {
    switch (face) {
    case table::Face::LiSu:
        return {QStringLiteral("LiSu"), QStringLiteral("隶书"), QStringLiteral("AR PL UKai CN"),
                QStringLiteral("AR PL KaitiM GB"), QStringLiteral("Noto Serif CJK SC")};
    case table::Face::XinWei:
        return {QStringLiteral("STXinwei"), QStringLiteral("华文新魏"),
                QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC")};
    case table::Face::SimSun:
        return {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                QStringLiteral("Noto Serif CJK SC")};
    case table::Face::Default:
        break;
    }
    return {};
}

QFont fontOf(const table::Label& entry, double points) {
    QFont font;
    font.setFamilies(familiesOf(entry.face));
    font.setPointSizeF(points);
    font.setWeight(entry.bold ? QFont::Bold : QFont::Normal);
    return font;
}

QLabel* make(QWidget* parent, const table::Label& entry) {
    auto* text = new QLabel(parent);
    text->setObjectName(QString::fromLatin1(entry.name));
    text->setGeometry(twips(entry.left), twips(entry.top), twips(entry.width), twips(entry.height));
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, colourOf(entry.colour));
    text->setPalette(palette);
    if (entry.face != table::Face::Default) {
        text->setFont(fontOf(entry, entry.points));
    }
    if (!entry.sizedToText) {
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return text;
}

} // namespace

frmAbout* frmAbout::showInstance() {
    if (!loaded) {
        loaded = new frmAbout();
        loaded->Form_Load();
    }
    // Client area's top-left corner at a fixed place, wherever the main window is.
    QRect geometry(twips(table::screenLeft), twips(table::screenTop), twips(table::clientWidth),
                   twips(table::clientHeight));
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
    setFixedSize(twips(table::clientWidth), twips(table::clientHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colourOf(table::background));
    palette.setColor(QPalette::WindowText, colourOf(table::textColour));
    setPalette(palette);
    setAutoFillBackground(true);

    for (const table::Label& entry : table::labels) {
        table::memberOf(*this, entry.text) = make(this, entry);
    }
    Image1->setPixmap(QApplication::windowIcon().pixmap(table::iconPixels, table::iconPixels));
}

void frmAbout::Form_Load() {
    setWindowTitle(QString::fromStdString(about_text::caption()));
    for (const table::Label& entry : table::labels) {
        if (entry.text == table::Text::Icon) {
            continue;
        }
        QLabel* shown = table::memberOf(*this, entry.text);
        shown->setText(QString::fromStdString(table::textOf(entry.text)));
        if (entry.sizedToText) {
            shown->adjustSize();
        }
    }
    const table::Label& title = table::label("lblTitle");
    lblTitle->setFont(
        fontOf(title, table::titlePoints([&](double points) {
                   return QFontMetrics(fontOf(title, points)).horizontalAdvance(lblTitle->text()) <=
                          lblTitle->width();
               })));
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
