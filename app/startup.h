// SPDX-License-Identifier: MIT
#pragma once

#include "chrome/frameless.h"

#include <memory>

class MainWidget;
class QApplication;

// The program's start: the style sheet, the icon, the main window and its frameless helper, in
// the order they must come. main() and the start-up benchmark share it.
class Startup
{
public:
    explicit Startup(QApplication &app);
    ~Startup();
    MainWidget *mainWindow() const { return window.get(); }
    void show();

private:
    static MainWidget *createWindow(QApplication &app);

    std::unique_ptr<MainWidget> window;
    FrameLess frameLess;
};
