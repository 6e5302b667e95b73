#include "notes/SpeechLibrary.h"

#include <QLibrary>

namespace SpeechLibrary {

namespace {

struct Loaded {
    Api api;
    QString error;
    bool ok = false;
};

template <typename Fn>
bool resolve(QLibrary& lib, Fn& fn, const char* symbol, QString* error)
{
    fn = reinterpret_cast<Fn>(lib.resolve(symbol));
    if (!fn)
        *error = lib.errorString();
    return fn != nullptr;
}

} // namespace

const Api* load(QString* error)
{
    static const Loaded l = [] {
        Loaded r;
        // Kept open for the life of the process.
        static QLibrary base(QStringLiteral("sphinxbase"), 3);
        static QLibrary ps(QStringLiteral("pocketsphinx"), 3);
        if (!base.load() || !ps.load()) {
            r.error = base.isLoaded() ? ps.errorString() : base.errorString();
            return r;
        }
        bool ok = true;
#define BW_RESOLVE_BASE(name) ok = ok && resolve(base, r.api.name, #name, &r.error);
#define BW_RESOLVE_PS(name) ok = ok && resolve(ps, r.api.name, #name, &r.error);
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
