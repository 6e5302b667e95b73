#include "ui/PrintModule.h"

#include "core/ModuleLoader.h"

namespace PrintModule {

Panels* panels(QString* error)
{
    static QString why;
    static Panels* const found = [] {
        const auto entry = reinterpret_cast<BwPrintPanelsFn>(
            ModuleLoader::entryPoint(QStringLiteral("brindleworks-print"), "bw_print_panels", &why));
        return entry ? entry() : nullptr;
    }();
    if (!found && error)
        *error = why;
    return found;
}

} // namespace PrintModule
