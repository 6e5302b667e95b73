#include "app/views/ShellServices.h"

#include "notes/StickyStore.h"
#include "notes/views/StickyWindows.h"
#include "passwords/PasswordBookModel.h"

ShellServices& ShellServices::shared()
{
    static ShellServices s;
    return s;
}

void installShellServices()
{
    // The word processor fills its entries here once it is part of the build.
    ShellServices& s = ShellServices::shared();
    s.restoreStickyWindows = [] {
        StickyWindows::shared();
        StickyStore::shared().restoreWindows();
    };
    s.saveStickyNotes = [] { StickyStore::shared().saveNow(); };
    s.installAutoLockObservers = [] { PasswordBookModel::shared().installAutoLockObservers(); };
    s.lockPasswordBook = [] { PasswordBookModel::shared().lock(); };
}
