#include "app/views/ShellCommands.h"

#include "core/AppSettings.h"
#include "app/views/AboutView.h"
#include "app/views/HelpView.h"
#include "app/views/SettingsView.h"
#include "app/views/ShellServices.h"
#include "app/views/VEXOBWMenuTarget.h"
#include "app/views/WindowManager.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace ShellCommands {

namespace {
template <class View>
QWidget* openView()
{
    return WindowManager::shared().openExtra(View::windowKey(), View::windowTitle(), View::windowSize,
                                             [] { return new View; }, View::windowResizable);
}
} // namespace

QWidget* openSettings()
{
    return openView<SettingsView>();
}

QWidget* openHelp()
{
    return openView<HelpView>();
}

QWidget* openAbout()
{
    return openView<AboutView>();
}

void visitWebsite()
{
    QDesktopServices::openUrl(AppSettings::vexoURL());
}

void exportData()
{
    VEXOBWMenuTarget::shared().exportData();
}

void quit()
{
    // Unsaved documents first: the user may still keep the program open.
    const ShellServices& services = ShellServices::shared();
    if (services.reviewUnsavedDocuments && !services.reviewUnsavedDocuments())
        return;
    QCoreApplication::quit();
}

} // namespace ShellCommands
