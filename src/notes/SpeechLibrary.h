#pragma once

#include <QString>

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/err.h>
#include <sphinxbase/fe.h>
#include <sphinxbase/feat.h>

// The speech recogniser's libraries (pocketsphinx and sphinxbase), opened
// the first time a note is transcribed rather than when the program starts.
// Only the headers are used at build time.
namespace SpeechLibrary {

#define BW_SPHINXBASE_FUNCTIONS(X)                                                                                   \
    X(cmd_ln_free_r)                                                                                                 \
    X(cmd_ln_init)                                                                                                   \
    X(err_set_logfp)                                                                                                 \
    X(fe_end_utt)                                                                                                    \
    X(fe_free)                                                                                                       \
    X(fe_get_output_size)                                                                                            \
    X(fe_get_vad_state)                                                                                              \
    X(fe_init_auto_r)                                                                                                \
    X(fe_process_frames)                                                                                             \
    X(fe_start_utt)
#define BW_POCKETSPHINX_FUNCTIONS(X)                                                                                 \
    X(ps_args)                                                                                                       \
    X(ps_end_utt)                                                                                                    \
    X(ps_free)                                                                                                       \
    X(ps_get_feat)                                                                                                   \
    X(ps_get_hyp)                                                                                                    \
    X(ps_init)                                                                                                       \
    X(ps_process_cep)                                                                                                \
    X(ps_process_raw)                                                                                                \
    X(ps_start_utt)

struct Api {
#define BW_SPEECH_MEMBER(name) decltype(&::name) name = nullptr;
    BW_SPHINXBASE_FUNCTIONS(BW_SPEECH_MEMBER)
    BW_POCKETSPHINX_FUNCTIONS(BW_SPEECH_MEMBER)
#undef BW_SPEECH_MEMBER
};

// Opens the libraries once (thread-safe) and silences their log. Null, with
// `error` saying why, when they are not installed.
const Api* load(QString* error = nullptr);

} // namespace SpeechLibrary
