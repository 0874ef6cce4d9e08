#include "qt/form1.h"

#include "app/app_facts.h"
#include "app/twips.h"
#include "main_window/form1_layout.h"
#include "main_window/status_line.h"
#include "main_window/window_rules.h"
#include "qt/dropped_files.h"
#include "qt/form2.h"
#include "qt/frm_about.h"
#include "qt/group_box_style.h"
#include "qt/screen_centre.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
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
#include <QStyleHints>

using ::layout::twips;
namespace table = main_window::layout;

namespace {

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent), dlg(std::make_unique<QtFileOpenDialog>()),
      messages_(std::make_unique<QtMessagePresenter>()),
      launcher_(std::make_unique<DesktopHomePageLauncher>()),
      homePageAddress_(QString::fromUtf8(app_facts::homePageAddress)),
      endProcess_([] { QCoreApplication::exit(0); }),
      openFolderChooser_([this](const std::string& startFolder) {
          Form2::showInstance([this](const QString& text) { model_.setDestination(utf8(text)); },
                              startFolder);
      }),
      openAboutBox_([] { frmAbout::showInstance(); }) {
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    setTabOrder();
    connectHandlers();
    // Files dropped anywhere land here; the boxes would otherwise paste the address as text.
    setAcceptDrops(true);
    for (QLineEdit* box : {src, dec, other, src1, recovery}) {
        box->setAcceptDrops(false);
    }
}

Form1::~Form1() = default;

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    for (const table::Control& entry : table::form1) {
        QWidget* parent = *entry.frame ? client->findChild<QWidget*>(entry.frame) : client;
        const QString caption = QString::fromUtf8(entry.caption);
        QWidget* made = nullptr;
        switch (entry.kind) {
        case table::Kind::Frame:
            made = new QGroupBox(caption, parent);
            break;
        case table::Kind::Label:
            made = new QLabel(caption, parent);
            break;
        case table::Kind::Field:
        case table::Kind::ReadOnlyField: {
            auto* field = new QLineEdit(parent);
            field->setReadOnly(entry.kind == table::Kind::ReadOnlyField);
            made = field;
            break;
        }
        case table::Kind::Button:
            made = new QPushButton(caption, parent);
            // Outside a dialog this only makes Enter press the button that has the focus.
            static_cast<QPushButton*>(made)->setAutoDefault(true);
            break;
        case table::Kind::Option:
            made = new QRadioButton(caption, parent);
            break;
        case table::Kind::Check:
            made = new QCheckBox(caption, parent);
            break;
        }
        const table::Control at = table::withinFrame(entry);
        made->setObjectName(QString::fromLatin1(entry.name));
        made->setGeometry(twips(at.left), twips(at.top), twips(at.width), twips(at.height));
        if (entry.kind == table::Kind::Label) {
            made->adjustSize(); // labels are sized to their text
        }
    }
    const auto named = [client](const char* name) {
        return client->findChild<QWidget*>(QString::fromLatin1(name));
    };
    Frame1 = static_cast<QGroupBox*>(named("Frame1"));
    Frame3 = static_cast<QGroupBox*>(named("Frame3"));
    Frame4 = static_cast<QGroupBox*>(named("Frame4"));
    Label1 = static_cast<QLabel*>(named("Label1"));
    Label2 = static_cast<QLabel*>(named("Label2"));
    Label5 = static_cast<QLabel*>(named("Label5"));
    src = static_cast<QLineEdit*>(named("src"));
    dec = static_cast<QLineEdit*>(named("dec"));
    src1 = static_cast<QLineEdit*>(named("src1"));
    Label6 = static_cast<QLabel*>(named("Label6"));
    recovery = static_cast<QLineEdit*>(named("recovery"));
    Label7 = static_cast<QLabel*>(named("Label7"));
    other = static_cast<QLineEdit*>(named("other"));
    browse = static_cast<QPushButton*>(named("browse"));
    saveto = static_cast<QPushButton*>(named("saveto"));
    Command3 = static_cast<QPushButton*>(named("Command3"));
    start = static_cast<QPushButton*>(named("start"));
    copy = static_cast<QPushButton*>(named("copy"));
    about = static_cast<QPushButton*>(named("about"));
    quit = static_cast<QPushButton*>(named("quit"));
    for (std::size_t i = 0; i < Option1.size(); ++i) {
        Option1[i] = static_cast<QRadioButton*>(named(("Option1_" + std::to_string(i)).c_str()));
    }
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        Check1[i] = static_cast<QCheckBox*>(named(("Check1_" + std::to_string(i)).c_str()));
    }

    Option1[2]->setChecked(true);
    QPalette blueText = other->palette();
    blueText.setColor(QPalette::Text, QColor(0, 0, 255));
    other->setPalette(blueText);
    other->installEventFilter(this);
    Check1[0]->setChecked(true);
    for (QCheckBox* box : Check1) {
        box->setEnabled(false);
        box->raise(); // over the size frame
    }
    frameStyle_ = std::make_unique<GroupBoxStyle>();
    for (QGroupBox* frame : {Frame1, Frame3, Frame4}) {
        frame->setStyle(frameStyle_.get());
    }

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusBar1->setFixedHeight(twips(table::statusHeight));
    setStatusBar(StatusBar1);
    statusLine_ = new QLabel(StatusBar1);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setMinimumWidth(1);
    StatusBar1->addWidget(statusLine_, 1);
    progress_ = new QProgressBar(StatusBar1);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, main_window::Form1Model::progressSteps);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(twips(table::progressWidth));
    progress_->hide();
    StatusBar1->addPermanentWidget(progress_);

    resize(twips(table::windowWidth), twips(table::windowHeight));
}

void Form1::setTabOrder() {
    // The table's order, for the controls that take the focus.
    QWidget* previous = nullptr;
    for (const table::Control& entry : table::form1) {
        if (entry.kind == table::Kind::Frame || entry.kind == table::Kind::Label) {
            continue;
        }
        QWidget* next = centralWidget()->findChild<QWidget*>(QString::fromLatin1(entry.name));
        if (previous) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
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
    connect(recovery, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setRecoveryText(utf8(text)); });
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
    centreOnScreen(*this);
    setWindowTitle(QString::fromUtf8(window_rules::windowCaption));
    refresh(); // the model's design-time state, the recovery field's 0 among it
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

std::string Form1::askFileName(const std::string& last) {
    return utf8(dlg->ask(this, QString::fromStdString(last)));
}

void Form1::focusOther() {
    // After the key or click that selected the option has placed its own focus.
    QMetaObject::invokeMethod(other, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
    other->setFocus();
}

void Form1::openFolderChooser(const std::string& startFolder) {
    if (openFolderChooser_) {
        openFolderChooser_(startFolder);
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

std::chrono::milliseconds Form1::doubleClickTime() const {
    return std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
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
    setTextKeepingCursor(recovery, state.recovery);
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
    for (QWidget* field :
         std::initializer_list<QWidget*>{src, dec, src1, browse, saveto, Command3, recovery}) {
        field->setEnabled(!state.fieldsLocked);
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

void Form1::wake() {
    // From the run's thread: queued to this window's thread, and dropped with the window.
    QMetaObject::invokeMethod(
        this, [this] { model_.deliverRunEvents(); }, Qt::QueuedConnection);
}
