#include "core/ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace ModuleLoader {

namespace {

QStringList folders()
{
    QStringList list;
    if (QCoreApplication::instance()) {
        const QString here = QCoreApplication::applicationDirPath();
        list << here << QDir(here).filePath(QStringLiteral("../lib/brindleworks"));
    }
#ifdef BW_MODULE_BUILD_DIR
    list << QStringLiteral(BW_MODULE_BUILD_DIR);
#endif
    return list;
}

} // namespace

QFunctionPointer entryPoint(const QString& module, const char* symbol, QString* error)
{
    static QMutex lock;
    static QHash<QString, QLibrary*> opened;
    QMutexLocker locker(&lock);
    QLibrary* lib = opened.value(module);
    if (!lib) {
        QString why = QStringLiteral("“%1” was not found").arg(module);
        for (const QString& folder : folders()) {
            const QString path = QDir(folder).filePath(module + QStringLiteral(".so"));
            if (!QFileInfo(path).isFile())
                continue;
            auto* candidate = new QLibrary(path);
            if (candidate->load()) {
                lib = candidate;
                break;
            }
            why = candidate->errorString();
            delete candidate;
        }
        if (!lib) {
            if (error)
                *error = why;
            return nullptr;
        }
        // Kept open for the life of the process.
        opened.insert(module, lib);
    }
    const QFunctionPointer fn = lib->resolve(symbol);
    if (!fn && error)
        *error = lib->errorString();
    return fn;
}

} // namespace ModuleLoader
