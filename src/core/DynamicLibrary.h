#pragma once

#include <QLibrary>
#include <QString>
#include <initializer_list>
#include <utility>

// C libraries opened when first needed rather than linked into the program
// (built against their headers only): each user keeps a table of entry
// points, filled once from the opened library.
namespace DynamicLibrary {

// A library's table of entry points, and how opening it went.
template <typename Api>
struct Loaded {
    Api api;
    QString error; // why it could not be opened
    bool ok = false;
};

// Opens the first of `candidates` (name, major version; -1: any) that
// loads, kept open for the life of the process; null, with `error` saying
// why, when none does.
QLibrary* open(std::initializer_list<std::pair<const char*, int>> candidates, QString* error);

// Looks `symbol` up into `fn`; false, with `error` saying why, when it is
// missing.
template <typename Fn>
bool resolve(QLibrary* library, Fn& fn, const char* symbol, QString* error)
{
    fn = reinterpret_cast<Fn>(library->resolve(symbol));
    if (!fn && error)
        *error = library->errorString();
    return fn != nullptr;
}

} // namespace DynamicLibrary
