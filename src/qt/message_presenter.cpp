#include "qt/message_presenter.h"

#include "app/app_facts.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

void QtMessagePresenter::warn(QWidget* parent, const QString& text) {
    const QString caption = QString::fromUtf8(app_facts::title);
    // A dialog with the close button only: no window manager offers to minimise or
    // maximise it.
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent,
                    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint);
    // A short text makes a box too narrow for its own caption: keep room for the caption.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int room = box.fontMetrics().horizontalAdvance(caption) * 3 / 2 + 80;
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}
