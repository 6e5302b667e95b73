#include "ui/SpellLibraries.h"

#include <QLibrary>
#include <QStringList>

#include <initializer_list>
#include <memory>

namespace SpellLibraries {

namespace {

// Opens the first of `names` that loads (kept open for the process).
QLibrary* open(std::initializer_list<std::pair<const char*, int>> names)
{
    for (const auto& [name, version] : names) {
        auto lib = std::make_unique<QLibrary>(QString::fromLatin1(name), version);
        if (lib->load())
            return lib.release();
    }
    return nullptr;
}

// Resolves `symbol` into `fn`; false when it is missing.
template <typename Fn>
bool resolve(QLibrary* lib, Fn& fn, const char* symbol)
{
    fn = reinterpret_cast<Fn>(lib->resolve(symbol));
    return fn != nullptr;
}

} // namespace

const Hunspell* hunspell()
{
    static const Hunspell* api = []() -> const Hunspell* {
        QLibrary* lib = open({{"hunspell-1.7", 0}, {"hunspell", -1}});
        if (!lib)
            return nullptr;
        static Hunspell h;
        const bool ok = resolve(lib, h.create, "Hunspell_create") && resolve(lib, h.destroy, "Hunspell_destroy")
            && resolve(lib, h.spell, "Hunspell_spell") && resolve(lib, h.suggest, "Hunspell_suggest")
            && resolve(lib, h.freeList, "Hunspell_free_list") && resolve(lib, h.add, "Hunspell_add");
        return ok ? &h : nullptr;
    }();
    return api;
}

const LinkGrammar* linkGrammar()
{
    static const LinkGrammar* api = []() -> const LinkGrammar* {
        QLibrary* lib = open({{"link-grammar", 5}, {"link-grammar", -1}});
        if (!lib)
            return nullptr;
        static LinkGrammar g;
        const bool ok = resolve(lib, g.setErrorHandler, "lg_error_set_handler")
            && resolve(lib, g.createDictionary, "dictionary_create_lang")
            && resolve(lib, g.deleteDictionary, "dictionary_delete")
            && resolve(lib, g.createOptions, "parse_options_create")
            && resolve(lib, g.deleteOptions, "parse_options_delete")
            && resolve(lib, g.setVerbosity, "parse_options_set_verbosity")
            && resolve(lib, g.setMinNullCount, "parse_options_set_min_null_count")
            && resolve(lib, g.setMaxNullCount, "parse_options_set_max_null_count")
            && resolve(lib, g.setMaxParseTime, "parse_options_set_max_parse_time")
            && resolve(lib, g.timerExpired, "parse_options_timer_expired")
            && resolve(lib, g.resourcesExhausted, "parse_options_resources_exhausted")
            && resolve(lib, g.createSentence, "sentence_create") && resolve(lib, g.parseSentence, "sentence_parse")
            && resolve(lib, g.deleteSentence, "sentence_delete")
            && resolve(lib, g.disjunctCost, "sentence_disjunct_cost") && resolve(lib, g.createLinkage, "linkage_create")
            && resolve(lib, g.deleteLinkage, "linkage_delete")
            && resolve(lib, g.linkageWordCount, "linkage_get_num_words")
            && resolve(lib, g.linkageWord, "linkage_get_word")
            && resolve(lib, g.lookupList, "dictionary_lookup_list")
            && resolve(lib, g.freeLookupList, "free_lookup_list");
        return ok ? &g : nullptr;
    }();
    return api;
}

const LanguageModel* languageModel()
{
    static const LanguageModel* api = []() -> const LanguageModel* {
        QLibrary* lib = open({{"sphinxbase", 3}, {"sphinxbase", -1}});
        if (!lib)
            return nullptr;
        static LanguageModel m;
        const bool ok = resolve(lib, m.setLogFile, "err_set_logfp") && resolve(lib, m.initLogMath, "logmath_init")
            && resolve(lib, m.freeLogMath, "logmath_free") && resolve(lib, m.logToLn, "logmath_log_to_ln")
            && resolve(lib, m.read, "ngram_model_read") && resolve(lib, m.free, "ngram_model_free")
            && resolve(lib, m.counts, "ngram_model_get_counts") && resolve(lib, m.word, "ngram_word")
            && resolve(lib, m.prob, "ngram_prob");
        return ok ? &m : nullptr;
    }();
    return api;
}

} // namespace SpellLibraries
