#include "qt/form1.h"

#include "app/app_facts.h"
#include "app/twips.h"
#include "engine/merge_run.h"
#include "engine/split_run.h"
#include "main_window/status_line.h"
#include "main_window/window_rules.h"
#include "qt/dropped_files.h"
#include "qt/form2.h"
#include "qt/frm_about.h"
#include "qt/group_box_style.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/path.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>

using layout::twips;

namespace {

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return widget;
}

// A label sized to its text, starting at the given place.
QLabel* autoLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width, int height) {
    auto* label = place(new QLabel(text, parent), name, left, top, width, height);
    label->adjustSize();
    return label;
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent), dlg(std::make_unique<QtFileOpenDialog>()),
      messages_(std::make_unique<QtMessagePresenter>()),
      launcher_(std::make_unique<DesktopHomePageLauncher>()),
      homePageAddress_(QString::fromUtf8(app_facts::homePageAddress)),
      endProcess_([] { QCoreApplication::exit(0); }), openFolderChooser_([this] {
          Form2::showInstance([this](const QString& text) { dec->setText(text); });
      }),
      openAboutBox_([] { frmAbout::showInstance(); }) {
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    setTabOrder();
    connectHandlers();
    // Files dropped anywhere land here; the boxes would otherwise paste the address as text.
    setAcceptDrops(true);
    for (QLineEdit* box : {src, dec, other, src1}) {
        box->setAcceptDrops(false);
    }
}

Form1::~Form1() = default;

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Frame1 =
        place(new QGroupBox(QStringLiteral("文件路径"), client), "Frame1", 120, 120, 6015, 1095);
    Label1 = autoLabel(Frame1, "Label1", QStringLiteral("源文件是："), 120, 360, 900, 180);
    src = place(new QLineEdit(Frame1), "src", 1080, 240, 3840, 270);
    src->setReadOnly(true);
    browse =
        place(new QPushButton(QStringLiteral("浏览..."), Frame1), "browse", 5040, 240, 855, 300);
    Label2 = autoLabel(Frame1, "Label2", QStringLiteral("文件放在："), 120, 720, 900, 180);
    dec = place(new QLineEdit(Frame1), "dec", 1080, 600, 3840, 270);
    dec->setReadOnly(true);
    saveto =
        place(new QPushButton(QStringLiteral("浏览..."), Frame1), "saveto", 5040, 600, 855, 300);

    Frame3 = place(new QGroupBox(QStringLiteral("切割后文件大小"), client), "Frame3", 120, 1440,
                   6015, 1335);
    Option1[1] =
        place(new QRadioButton(QStringLiteral("1.38MB"), Frame3), "Option1_1", 240, 360, 975, 255);
    Option1[0] =
        place(new QRadioButton(QStringLiteral("1MB"), Frame3), "Option1_0", 1440, 360, 855, 255);
    Option1[2] = place(new QRadioButton(QStringLiteral("500KB（手机电子书）"), Frame3), "Option1_2",
                       2400, 360, 2175, 255);
    Option1[3] = place(new QRadioButton(QStringLiteral("其它容量"), Frame3), "Option1_3", 4800, 240,
                       1095, 495);
    Option1[2]->setChecked(true);
    other = place(new QLineEdit(Frame3), "other", 240, 840, 3240, 270);
    QPalette blueText = other->palette();
    blueText.setColor(QPalette::Text, QColor(0, 0, 255));
    other->setPalette(blueText);
    other->installEventFilter(this);

    // The unit boxes belong to the window and are drawn over the size frame.
    Check1[0] =
        place(new QCheckBox(QStringLiteral("MB"), client), "Check1_0", 3840, 2280, 615, 255);
    // 600 rather than 495 twips wide: at 495 the caption is cut to "KE" beside the
    // indicator, and 600 still ends where "Bytes" begins.
    Check1[1] =
        place(new QCheckBox(QStringLiteral("KB"), client), "Check1_1", 4560, 2280, 600, 255);
    Check1[2] =
        place(new QCheckBox(QStringLiteral("Bytes"), client), "Check1_2", 5160, 2280, 855, 255);
    Check1[0]->setChecked(true);
    for (QCheckBox* box : Check1) {
        box->setEnabled(false);
        box->raise();
    }

    Frame4 =
        place(new QGroupBox(QStringLiteral("合并文件"), client), "Frame4", 120, 2880, 6015, 735);
    frameStyle_ = std::make_unique<GroupBoxStyle>();
    for (QGroupBox* frame : {Frame1, Frame3, Frame4}) {
        frame->setStyle(frameStyle_.get());
    }
    Label5 = autoLabel(Frame4, "Label5", QStringLiteral("要合并的文件："), 120, 360, 1260, 180);
    src1 = place(new QLineEdit(Frame4), "src1", 1440, 240, 3480, 270);
    Command3 =
        place(new QPushButton(QStringLiteral("浏览..."), Frame4), "Command3", 5040, 240, 855, 300);

    start =
        place(new QPushButton(QStringLiteral("切割(&S)"), client), "start", 600, 3720, 800, 360);
    copy = place(new QPushButton(QStringLiteral("合并(&C)"), client), "copy", 2160, 3720, 800, 360);
    about =
        place(new QPushButton(QStringLiteral("关于(&A)"), client), "about", 3600, 3720, 800, 360);
    quit = place(new QPushButton(QStringLiteral("退出(Q)"), client), "quit", 5040, 3720, 800, 360);
    for (QPushButton* button : {browse, saveto, Command3, start, copy, about, quit}) {
        button->setAutoDefault(false);
    }

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusBar1->setFixedHeight(twips(255));
    setStatusBar(StatusBar1);
    statusLine_ = new QLabel(StatusBar1);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setMinimumWidth(1);
    StatusBar1->addWidget(statusLine_, 1);
    progress_ = new QProgressBar(StatusBar1);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, progressSteps);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(twips(1500));
    progress_->hide();
    StatusBar1->addPermanentWidget(progress_);

    resize(twips(6240), twips(4380));
}

void Form1::setTabOrder() {
    const QWidget* order[] = {src,       dec,       browse,     saveto,     src1,       Command3,
                              start,     copy,      about,      quit,       other,      Check1[0],
                              Check1[1], Check1[2], Option1[0], Option1[1], Option1[2], Option1[3]};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
    }
}

void Form1::connectHandlers() {
    auto* options = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        options->addButton(Option1[static_cast<std::size_t>(i)], i);
    }
    // Any selection runs the handler: a click, an arrow key or code.
    connect(options, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            Option1_Click(id);
        }
        keepOptionGroupOneTabStop();
    });
    keepOptionGroupOneTabStop();
    for (int i = 0; i < 3; ++i) {
        QCheckBox* box = Check1[static_cast<std::size_t>(i)];
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool checked) { model_.setUnitChecked(i, checked); });
        connect(box, &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
    }
    // The model keeps what the boxes hold, however it got there.
    connect(src, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setSrcText(utf8(text)); });
    connect(dec, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setDecText(utf8(text)); });
    connect(other, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setOtherText(utf8(text)); });
    connect(src1, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setSrc1Text(utf8(text)); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { model_.escape(); });
    connect(browse, &QPushButton::clicked, this, &Form1::browse_Click);
    connect(saveto, &QPushButton::clicked, this, &Form1::saveto_Click);
    connect(start, &QPushButton::clicked, this, &Form1::start_Click);
    connect(about, &QPushButton::clicked, this, &Form1::about_Click);
    connect(quit, &QPushButton::clicked, this, &Form1::quit_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(copy, &QPushButton::clicked, this, &Form1::copy_Click);
}

void Form1::setFileOpenDialog(std::unique_ptr<FileOpenDialog> dialog) {
    dlg = std::move(dialog);
}
void Form1::setMessagePresenter(std::unique_ptr<MessagePresenter> presenter) {
    messages_ = std::move(presenter);
}
void Form1::setHomePageLauncher(std::unique_ptr<HomePageLauncher> launcher) {
    launcher_ = std::move(launcher);
}

void Form1::Form_Load() {
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    setWindowTitle(QString::fromUtf8(window_rules::windowCaption));
}

void Form1::keepOptionGroupOneTabStop() {
    // Tab enters the group at its selected option; the arrow keys move within it.
    for (QRadioButton* option : Option1) {
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void Form1::Check1_Click(int Index) {
    model_.Check1_Click(Index, Check1[static_cast<std::size_t>(Index)]->isChecked());
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // Coming into the custom box, by a click or by Tab, means the custom size.
    if (watched == other && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        other_Click();
    } else if (watched == other && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            other_Click();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
    if (!isRunning() && !firstDroppedFile(event->mimeData()->urls()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    if (takeDroppedFile(event->mimeData()->urls(), event->position().toPoint())) {
        event->acceptProposedAction();
    }
}

bool Form1::takeDroppedFile(const QList<QUrl>& urls, const QPoint& pos) {
    const bool onMergeGroup = Frame4->rect().contains(Frame4->mapFrom(this, pos));
    return model_.takeDroppedFile(utf8(firstDroppedFile(urls)), onMergeGroup);
}

void Form1::takeSourceFile(const QString& path) {
    model_.takeSourceFile(utf8(path));
}

std::string Form1::askFileName(const std::string&) {
    // The dialog keeps its last name itself, and gives it back when cancelled.
    dlg->ShowOpen(this);
    return utf8(dlg->FileName());
}

void Form1::focusOther() {
    // After the key or click that selected the option has placed its own focus.
    QMetaObject::invokeMethod(other, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
    other->setFocus();
}

void Form1::openFolderChooser() {
    if (openFolderChooser_) {
        openFolderChooser_();
    }
}

void Form1::openAboutBox() {
    if (openAboutBox_) {
        openAboutBox_();
    }
}

void Form1::openHomePage() {
    launcher_->open(homePageAddress_);
}

void Form1::endProcess() {
    endProcess_();
}

void Form1::closeEvent(QCloseEvent* event) {
    // During a run the window stays, live, until the run has stopped; then it ends.
    if (model_.Form_Unload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

namespace {
void setTextKeepingCursor(QLineEdit* box, const std::string& text) {
    const QString wanted = QString::fromStdString(text);
    if (box->text() != wanted) {
        box->setText(wanted);
    }
}
} // namespace

void Form1::refresh() {
    const auto& state = model_.state();
    setTextKeepingCursor(src, state.src);
    setTextKeepingCursor(dec, state.dec);
    setTextKeepingCursor(src1, state.src1);
    setTextKeepingCursor(other, state.other);
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        if (static_cast<int>(i) == state.option && !Option1[i]->isChecked()) {
            const QSignalBlocker quiet(Option1[i]);
            Option1[i]->setChecked(true);
            keepOptionGroupOneTabStop();
        }
    }
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        const QSignalBlocker quiet(Check1[i]);
        Check1[i]->setChecked(state.unitChecked[i]);
        Check1[i]->setEnabled(state.unitsEnabled);
    }
    start->setText(QString::fromStdString(state.startCaption));
    copy->setText(QString::fromStdString(state.copyCaption));
    progress_->setVisible(state.progressShown);
    progress_->setValue(state.progressPermille);
    showStatusText();
}

void Form1::showStatusText() {
    const std::string& text = model_.state().status;
    const QFontMetrics metrics = statusLine_->fontMetrics();
    const int room = statusLine_->contentsRect().width();
    const std::string shown = shownStatus(text, [&](const std::string& candidate) {
        return metrics.horizontalAdvance(QString::fromStdString(candidate)) <= room;
    });
    if (shown == shownStatus_ && statusLine_->toolTip().isEmpty() == (shown == text)) {
        return;
    }
    shownStatus_ = shown;
    statusLine_->setText(QString::fromStdString(shown));
    statusLine_->setToolTip(shown == text ? QString() : QString::fromStdString(text));
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    showStatusText();
}

void Form1::showMessage(const std::string& text) {
    messages_->warn(this, QString::fromStdString(text));
}

void Form1::pumpEvents() {
    QCoreApplication::processEvents();
}
