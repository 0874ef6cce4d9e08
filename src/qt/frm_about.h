#pragma once

#include "about_box/about_layout.h"

#include <QWidget>

class QLabel;

// The About window, drawn from about_box's table: the program icon, title, version and the
// team's lines on a light pink ground. A click on its bare background closes it.
class frmAbout : public QWidget {
    Q_OBJECT

public:
    // The one instance: loaded on first use (again after it closed), shown without
    // blocking and without an owner, always at the same place on the screen.
    static frmAbout* showInstance();
    static frmAbout* instance();

    void Form_Load();
    void Form_Click();

    QLabel* Image1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* lblDescription;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    frmAbout();
};
