#pragma once

// The spelling (hunspell) and grammar (link-grammar) libraries, and the
// speech library's language model reader (sphinxbase) for how common each
// English word is, opened the
// first time a check needs them rather than when the program starts: most
// sessions begin with windows that hold no text at all. Each accessor opens
// its library once (thread-safe) and returns its entry points, or null when
// the library is not installed.

#include <hunspell/hunspell.h>
#include <link-grammar/dict-api.h>
#include <link-grammar/link-includes.h>
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

namespace SpellLibraries {

struct Hunspell {
    decltype(&::Hunspell_create) create = nullptr;
    decltype(&::Hunspell_destroy) destroy = nullptr;
    decltype(&::Hunspell_spell) spell = nullptr;
    decltype(&::Hunspell_suggest) suggest = nullptr;
    decltype(&::Hunspell_free_list) freeList = nullptr;
    decltype(&::Hunspell_add) add = nullptr;
};

struct LinkGrammar {
    decltype(&::lg_error_set_handler) setErrorHandler = nullptr;
    decltype(&::dictionary_create_lang) createDictionary = nullptr;
    decltype(&::dictionary_delete) deleteDictionary = nullptr;
    decltype(&::parse_options_create) createOptions = nullptr;
    decltype(&::parse_options_delete) deleteOptions = nullptr;
    decltype(&::parse_options_set_verbosity) setVerbosity = nullptr;
    decltype(&::parse_options_set_min_null_count) setMinNullCount = nullptr;
    decltype(&::parse_options_set_max_null_count) setMaxNullCount = nullptr;
    decltype(&::parse_options_set_max_parse_time) setMaxParseTime = nullptr;
    decltype(&::parse_options_timer_expired) timerExpired = nullptr;
    decltype(&::parse_options_resources_exhausted) resourcesExhausted = nullptr;
    decltype(&::sentence_create) createSentence = nullptr;
    decltype(&::sentence_parse) parseSentence = nullptr;
    decltype(&::sentence_delete) deleteSentence = nullptr;
    decltype(&::sentence_disjunct_cost) disjunctCost = nullptr;
    decltype(&::linkage_create) createLinkage = nullptr;
    decltype(&::linkage_delete) deleteLinkage = nullptr;
    decltype(&::linkage_get_num_words) linkageWordCount = nullptr;
    decltype(&::linkage_get_word) linkageWord = nullptr;
    decltype(&::dictionary_lookup_list) lookupList = nullptr;
    decltype(&::free_lookup_list) freeLookupList = nullptr;
};

struct LanguageModel {
    decltype(&::err_set_logfp) setLogFile = nullptr;
    decltype(&::logmath_init) initLogMath = nullptr;
    decltype(&::logmath_free) freeLogMath = nullptr;
    decltype(&::logmath_log_to_ln) logToLn = nullptr;
    decltype(&::ngram_model_read) read = nullptr;
    decltype(&::ngram_model_free) free = nullptr;
    decltype(&::ngram_model_get_counts) counts = nullptr;
    decltype(&::ngram_word) word = nullptr;
    decltype(&::ngram_prob) prob = nullptr;
};

const Hunspell* hunspell();
const LinkGrammar* linkGrammar();
const LanguageModel* languageModel();

} // namespace SpellLibraries
