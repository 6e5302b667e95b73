#include "app/views/ShellCommands.h"

#include "core/AppSettings.h"
#include "core/Debouncer.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "app/views/AboutView.h"
#include "app/views/HelpView.h"
#include "app/views/SettingsView.h"
#include "app/views/ShellServices.h"
#include "app/views/VEXOBWMenuTarget.h"
#include "app/views/WindowManager.h"
#include "ui/Alert.h"

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

QStringList unsavedAtQuit()
{
    if (Store::isReadOnly())
        return {};
    // What quitting writes anyway is written now, and every failed save is
    // tried once more: what still fails would be lost.
    Debouncer::flushAll();
    if (const auto& save = ShellServices::shared().saveStickyNotes)
        save();
    Store::retryFailedSaves();
    QStringList owners;
    for (const StoreEvents::Problem& p : StoreEvents::shared().problems()) {
        if (p.kind == StoreEvents::Problem::Kind::saveFailed && !owners.contains(p.owner))
            owners.append(p.owner);
    }
    return owners;
}

bool confirmQuitLosing(const QStringList& owners)
{
    QStringList lines;
    for (const QString& owner : owners)
        lines.append(QStringLiteral("\u2022 ") + owner);
    const QString text
        = QStringLiteral("The latest changes to these could not be saved, because their files cannot be written "
                         "(the disk may be full):\n\n%1\n\nIf you quit now, those changes are lost. Cancel, make "
                         "room on the disk, and they are saved within a few seconds.")
              .arg(lines.join(QLatin1Char('\n')));
    return runAlert(QStringLiteral("Some changes cannot be kept"), text, AlertStyle::Warning,
                    {QStringLiteral("Cancel"), QStringLiteral("Quit Anyway")})
        == alertFirstButton + 1;
}

void quit()
{
    // Unsaved documents first, each saved or given up by the user's
    // decision; then what cannot be saved. Either way the user may still
    // keep the program open.
    const ShellServices& services = ShellServices::shared();
    if (services.reviewUnsavedDocuments && !services.reviewUnsavedDocuments())
        return;
    const QStringList unsaved = unsavedAtQuit();
    if (!unsaved.isEmpty() && !confirmQuitLosing(unsaved))
        return;
    QCoreApplication::quit();
}

} // namespace ShellCommands
