// SPDX-License-Identifier: MIT
#pragma once

#include "chrome/frameless.h"

#include <memory>

class MainWidget;
class QApplication;
class QRect;
class QSize;

// The program's start: the style sheet, the icon, the main window and its frameless helper, in
// the order they must come. main() and the start-up benchmark share it.
class Startup
{
public:
    explicit Startup(QApplication &app);
    ~Startup();
    MainWidget *mainWindow() const { return window.get(); }
    // Opens the window centred on the screen it starts on.
    void show();

    // The window's place on a screen: centred in the area the screen leaves free and no larger than
    // that area, even where the window's least size is larger.
    static QRect placement(const QSize &wanted, const QSize &least, const QRect &available);

private:
    static void addBundledFonts();
    static MainWidget *createWindow(QApplication &app);

    std::unique_ptr<MainWidget> window;
    FrameLess frameLess;
};
