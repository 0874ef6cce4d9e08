#include "qt/screen_centre.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

void moveFrameToCentre(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize frame = window.frameGeometry().size();
    window.move(area.x() + (area.width() - frame.width()) / 2,
                area.y() + (area.height() - frame.height()) / 2);
}

// Centres the window again as soon as the window manager's frame is known (Qt learns it
// some events after the window shows), then leaves; a window without a frame keeps its
// place, and the watch ends after a moment so that a window the user moved stays put.
class CentreWhenFramed : public QObject {
public:
    explicit CentreWhenFramed(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) {
            return false;
        }
        if (event->type() == QEvent::Show) {
            QTimer::singleShot(watchAfterShowing, this, [this] { leave(); });
        }
        if (window_.isVisible() && window_.frameGeometry().size() != window_.size()) {
            leave();
            moveFrameToCentre(window_);
        }
        return false;
    }

private:
    static constexpr int watchAfterShowing = 2000; // ms

    void leave() {
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
};

} // namespace

void centreOnScreen(QWidget& window) {
    moveFrameToCentre(window);
    if (!window.isVisible()) {
        new CentreWhenFramed(window);
    }
}
