#pragma once

#include <QString>
#include <QtGlobal>

// The program's own module libraries (sound, printing), opened the first
// time one of their services is used rather than when the program starts:
// each brings a stack of libraries that the first window does not need.
// A module is looked for beside the executable, then in the installed
// "lib/brindleworks" folder, then in the build folder.
namespace ModuleLoader {

// Opens `module` ("brindleworks-media") once and returns its entry point
// `symbol`; null, with `error` saying why, when it cannot be opened.
QFunctionPointer entryPoint(const QString& module, const char* symbol, QString* error = nullptr);

} // namespace ModuleLoader
