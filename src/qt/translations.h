#pragma once

class QCoreApplication;

// Loads Qt's own Simplified Chinese texts (dialogs, message box buttons, context menus)
// whatever the user's locale, since every text of this program is Chinese. Returns
// false when the translations are not installed.
bool installChineseQtTranslations(QCoreApplication& application);
