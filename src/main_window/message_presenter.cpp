#include "main_window/message_presenter.h"

#include "app/app_facts.h"

#include <QMessageBox>

void QtMessagePresenter::warn(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, app_facts::title, text, QMessageBox::Ok, parent);
    box.exec();
}
