#include "core/DynamicLibrary.h"

namespace DynamicLibrary {

QLibrary* open(std::initializer_list<std::pair<const char*, int>> candidates, QString* error)
{
    static QList<QLibrary*> opened; // reachable for the life of the process
    for (const auto& [name, version] : candidates) {
        auto* library = new QLibrary(QString::fromLatin1(name), version);
        if (library->load()) {
            opened.append(library);
            return library;
        }
        if (error)
            *error = library->errorString();
        delete library;
    }
    return nullptr;
}

} // namespace DynamicLibrary
