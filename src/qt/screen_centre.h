#pragma once

class QWidget;

// Puts a window's frame, title bar included, at the centre of its screen: now by the
// size known so far, and once more when the window manager has framed it (before that
// Qt knows only the client area, and the window would sit half a title bar too low).
void centreOnScreen(QWidget& window);
