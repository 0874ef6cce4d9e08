#include "qt/form2.h"

#include "qt/screen_centre.h"

#include "app/app_facts.h"
#include "app/twips.h"
#include "folder_chooser/form2_layout.h"
#include "qt/drives.h"
#include "qt/folder_list.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

using layout::twips;

namespace {

QPointer<Form2> loaded;

Form2::Warner& warner() {
    static Form2::Warner instance = [](QWidget* parent, const QString& text) {
        QMessageBox::warning(parent, QString::fromUtf8(app_facts::title), text);
    };
    return instance;
}

std::vector<std::string> driveNames() {
    std::vector<std::string> names;
    for (const QString& drive : userDrives()) {
        names.push_back(drive.toStdString());
    }
    return names;
}

folder_chooser::FolderSystem folderSystem() {
    return {
        [](const std::string& folder) {
            std::vector<std::string> names;
            const QStringList children =
                QDir(QString::fromStdString(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString& child : children) {
                names.push_back(child.toStdString());
            }
            return names;
        },
        [](const std::string& drive) { return QDir(QString::fromStdString(drive)).isReadable(); },
        [] { return QDir::toNativeSeparators(QDir::currentPath()).toStdString(); }};
}

namespace table = folder_chooser::layout;

template <typename Widget> Widget* place(Widget* widget, const char* name) {
    const table::Control& entry = table::control(name);
    widget->setObjectName(QString::fromLatin1(entry.name));
    widget->setGeometry(twips(entry.left), twips(entry.top), twips(entry.width),
                        twips(entry.height));
    return widget;
}

QString captionOf(const char* name) {
    return QString::fromUtf8(table::control(name).caption);
}

} // namespace

Form2* Form2::showInstance(DestinationSink sink, const std::string& startFolder) {
    if (!loaded) {
        loaded = new Form2(std::move(sink));
        loaded->Form_Load(startFolder);
        centreOnScreen(*loaded);
    }
    loaded->show();
    loaded->raise();
    loaded->activateWindow();
    return loaded;
}

Form2* Form2::instance() {
    return loaded;
}

void Form2::setWarner(Warner newWarner) {
    warner() = std::move(newWarner);
}

Form2::Form2(DestinationSink sink)
    // A dialog, not a plain window: window managers give it the close button only.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      sink_(std::move(sink)),
      model_(driveNames(), folderSystem(), static_cast<char>(QDir::separator().unicode())) {
    setObjectName(QStringLiteral("Form2"));
    // The close button unloads the window; OK and Cancel only hide it.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(table::caption));
    setFixedSize(twips(table::windowWidth), twips(table::windowHeight));

    Drive1 = place(new QComboBox(this), "Drive1");
    Dir1 = place(new FolderList(model_, this), "Dir1");
    Text1 = place(new QLineEdit(this), "Text1");
    Label1 = place(new QLabel(captionOf("Label1"), this), "Label1");
    Label1->adjustSize();
    Command1 = place(new QPushButton(captionOf("Command1"), this), "Command1");
    Command2 = place(new QPushButton(captionOf("Command2"), this), "Command2");
    // Enter presses the button that has the focus (the window is no QDialog, so there is
    // no default button that Enter in the text field would press).
    for (QPushButton* button : {Command1, Command2}) {
        button->setAutoDefault(true);
        button->setDefault(false);
    }
    QWidget::setTabOrder(Drive1, Dir1);
    QWidget::setTabOrder(Dir1, Text1);
    QWidget::setTabOrder(Text1, Command1);
    QWidget::setTabOrder(Command1, Command2);

    for (const std::string& drive : model_.drives()) {
        Drive1->addItem(QString::fromStdString(drive));
    }
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderList::changed, this, [this] { Dir1_Change(); });
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

void Form2::Form_Load(const std::string& startFolder) {
    model_.load(startFolder);
    Drive1->setCurrentIndex(Drive1->findText(QString::fromStdString(model_.drive())));
    Dir1->refresh();
}

void Form2::Drive1_Change() {
    const auto warning = model_.pickDrive(Drive1->currentText().toStdString());
    if (warning) {
        warner()(this, QString::fromStdString(*warning));
        Drive1->setCurrentIndex(Drive1->findText(QString::fromStdString(model_.drive())));
        return;
    }
    Dir1->refresh();
}

void Form2::Dir1_Change() {
    Text1->setText(QString::fromStdString(model_.text()));
}

void Form2::Command1_Click() {
    if (sink_) {
        sink_(Text1->text());
    }
    hide();
}

void Form2::Command2_Click() {
    hide();
}

void Form2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Command2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
