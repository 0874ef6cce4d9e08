#pragma once

#include <QString>

class QWidget;

// Shows the program's message boxes: one text, the exclamation icon, an OK button,
// the application title as caption.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void warn(QWidget* parent, const QString& text) = 0;
};

class QtMessagePresenter : public MessagePresenter {
public:
    void warn(QWidget* parent, const QString& text) override;
};
