#include "notes/SpeechLibrary.h"

#include "core/DynamicLibrary.h"

namespace SpeechLibrary {

namespace {

using Loaded = DynamicLibrary::Loaded<Api>;

} // namespace

const Api* load(QString* error)
{
    static const Loaded l = [] {
        Loaded r;
        QLibrary* base = DynamicLibrary::open({{"sphinxbase", 3}}, &r.error);
        QLibrary* ps = base ? DynamicLibrary::open({{"pocketsphinx", 3}}, &r.error) : nullptr;
        if (!ps)
            return r;
        bool ok = true;
#define BW_RESOLVE_BASE(name) ok = ok && DynamicLibrary::resolve(base, r.api.name, #name, &r.error);
#define BW_RESOLVE_PS(name) ok = ok && DynamicLibrary::resolve(ps, r.api.name, #name, &r.error);
        BW_SPHINXBASE_FUNCTIONS(BW_RESOLVE_BASE)
        BW_POCKETSPHINX_FUNCTIONS(BW_RESOLVE_PS)
#undef BW_RESOLVE_PS
#undef BW_RESOLVE_BASE
        r.ok = ok;
        // The log is process-wide: silenced once, never reopened per
        // decoder, so decoders on several threads share nothing.
        if (ok)
            r.api.err_set_logfp(nullptr);
        return r;
    }();
    if (!l.ok && error)
        *error = l.error;
    return l.ok ? &l.api : nullptr;
}

} // namespace SpeechLibrary
