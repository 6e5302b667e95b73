#include "core/MediaModule.h"

#include "core/ModuleLoader.h"

namespace MediaModule {

Services* services(QString* error)
{
    static QString why;
    static Services* const found = [] {
        const auto entry = reinterpret_cast<BwMediaServicesFn>(
            ModuleLoader::entryPoint(QStringLiteral("brindleworks-media"), "bw_media_services", &why));
        return entry ? entry() : nullptr;
    }();
    if (!found && error)
        *error = why;
    return found;
}

} // namespace MediaModule
