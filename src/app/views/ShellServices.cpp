#include "app/views/ShellServices.h"

#include "notes/RecorderModel.h"
#include "passwords/PasswordBookModel.h"

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
    s.finishRecordings = [] { RecorderModel::finishAll(); };
}
