#include "wordproc/docx/ZipLibrary.h"

#include "core/DynamicLibrary.h"

namespace ZipLibrary {

namespace {

using Loaded = DynamicLibrary::Loaded<Api>;

const Loaded& loaded()
{
    static const Loaded l = [] {
        Loaded r;
        QLibrary* lib = DynamicLibrary::open({{"zip", 4}, {"zip", -1}}, &r.error);
        if (!lib)
            return r;
        bool ok = true;
#define BW_RESOLVE_ZIP(name) ok = ok && DynamicLibrary::resolve(lib, r.api.name, #name, &r.error);
        BW_LIBZIP_FUNCTIONS(BW_RESOLVE_ZIP)
#undef BW_RESOLVE_ZIP
        r.ok = ok;
        return r;
    }();
    return l;
}

} // namespace

const Api* load(QString* error)
{
    const Loaded& l = loaded();
    if (!l.ok && error)
        *error = l.error;
    return l.ok ? &l.api : nullptr;
}

const Api& fn()
{
    return loaded().api;
}

} // namespace ZipLibrary
