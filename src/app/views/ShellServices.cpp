#include "app/views/ShellServices.h"

#include "app/views/MainMenu.h"
#include "passwords/PasswordBookModel.h"
#include "wordproc/views/WPWindowController.h"

#include <QMainWindow>
#include <QMenuBar>

ShellServices& ShellServices::shared()
{
    static ShellServices s;
    return s;
}

void installShellServices()
{
    // The word processor and the sticky notes fill their entries here once
    // they are part of the build.
    ShellServices& s = ShellServices::shared();
    s.installAutoLockObservers = [] { PasswordBookModel::shared().installAutoLockObservers(); };
    s.lockPasswordBook = [] { PasswordBookModel::shared().lock(); };
    // Editor windows get the shared menu bar like every tool window.
    WPWindowController::setDecorator([](QMainWindow* w) { w->setMenuBar(MainMenu::shared().build(w)); });
}
