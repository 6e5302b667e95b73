#pragma once

#include <QString>

#include <zip.h>

// libzip, opened the first time a package is read or written rather than
// when the program starts (it brings its compression and crypto libraries
// with it). Only the header is used at build time.
namespace ZipLibrary {

#define BW_LIBZIP_FUNCTIONS(X)                                                                                       \
    X(zip_close)                                                                                                     \
    X(zip_discard)                                                                                                   \
    X(zip_error_fini)                                                                                                \
    X(zip_error_init)                                                                                                \
    X(zip_fclose)                                                                                                    \
    X(zip_file_add)                                                                                                  \
    X(zip_file_set_mtime)                                                                                            \
    X(zip_fopen_index)                                                                                               \
    X(zip_fread)                                                                                                     \
    X(zip_get_name)                                                                                                  \
    X(zip_get_num_entries)                                                                                           \
    X(zip_name_locate)                                                                                               \
    X(zip_open_from_source)                                                                                          \
    X(zip_set_file_compression)                                                                                      \
    X(zip_source_buffer)                                                                                             \
    X(zip_source_buffer_create)                                                                                      \
    X(zip_source_close)                                                                                              \
    X(zip_source_free)                                                                                               \
    X(zip_source_keep)                                                                                               \
    X(zip_source_open)                                                                                               \
    X(zip_source_read)                                                                                               \
    X(zip_source_seek)                                                                                               \
    X(zip_source_tell)                                                                                               \
    X(zip_stat_index)                                                                                                \
    X(zip_stat_init)

struct Api {
#define BW_LIBZIP_MEMBER(name) decltype(&::name) name = nullptr;
    BW_LIBZIP_FUNCTIONS(BW_LIBZIP_MEMBER)
#undef BW_LIBZIP_MEMBER
};

// Opens the library once (thread-safe); null, with `error` saying why,
// when it is not installed.
const Api* load(QString* error = nullptr);
// The entry points; only after load() returned them.
const Api& fn();

} // namespace ZipLibrary
