#include "app/app_facts.h"
#include "main_window/form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app_facts::applicationName);
    QApplication::setApplicationDisplayName(app_facts::title);
    QApplication::setApplicationVersion(app_facts::versionText());
    QApplication::setOrganizationName(app_facts::organisation);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane-splitter.png")));

    Form1 window;
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
