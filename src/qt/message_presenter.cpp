#include "qt/message_presenter.h"

#include "app/app_facts.h"

#include <QMessageBox>

void QtMessagePresenter::warn(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(app_facts::title), text,
                    QMessageBox::Ok, parent);
    box.exec();
}
