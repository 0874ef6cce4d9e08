#include "app/app_facts.h"
#include "qt/form1.h"
#include "qt/form2.h"
#include "qt/frm_about.h"
#include "qt/translations.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app_facts::applicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(app_facts::versionText));
    QApplication::setOrganizationName(QString::fromUtf8(app_facts::organisation));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(app_facts::desktopFileName));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane-splitter.png")));
    installChineseQtTranslations(application);

#ifndef Q_OS_WIN
    // The Chinese captions need a CJK face; without a preference the fallback
    // depends on the locale and may land on a brush face.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN")});
    QApplication::setFont(font);
#endif

    Form1 window;
    window.Form_Load();
    window.show();
    const int status = QApplication::exec();
    // Windows that are loaded but hidden go with the process.
    delete Form2::instance();
    delete frmAbout::instance();
    return status;
}
