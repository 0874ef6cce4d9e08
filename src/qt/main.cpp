#include "app/app_facts.h"
#include "qt/form1.h"
#include "qt/form2.h"
#include "qt/frm_about.h"
#include "qt/translations.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

#ifndef Q_OS_WIN
bool isPlainCLocale(const char* name) {
    return name == nullptr || *name == '\0' || std::strcmp(name, "C") == 0 ||
           std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// Under the plain C locale (LANG=C, LC_ALL=C) a Chinese program would get English dates
// and file types in its file dialog and a window title the locale cannot encode: it takes
// the Chinese locale instead. Any other locale the user chose stays.
void preferChineseOverTheCLocale() {
    const char* all = std::getenv("LC_ALL");
    const char* chosen = all && *all ? all : std::getenv("LANG");
    if (isPlainCLocale(chosen)) {
        setenv("LC_ALL", "zh_CN.UTF-8", 1);
    }
}

// Where the Chinese locale is not installed the C library stays in the C locale, and the
// window's old-style title (encoded by Xlib in the C library's character set) would be
// mojibake: its characters are taken as UTF-8, which every Debian has.
void keepUtf8Characters() {
    const char* characters = std::setlocale(LC_CTYPE, nullptr);
    if (isPlainCLocale(characters)) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifndef Q_OS_WIN
    preferChineseOverTheCLocale();
#endif
    QApplication application(argc, argv);
#ifndef Q_OS_WIN
    keepUtf8Characters();
#endif
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
