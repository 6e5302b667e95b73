#include "wordproc/formats/ZipPackage.h"

#include "wordproc/docx/Zip.h"
#include "wordproc/docx/ZipLibrary.h"


namespace ZipPackage {

using ZipLibrary::fn;

std::optional<QByteArray> write(const QList<Entry>& entries, QString* error)
{
    auto fail = [error](const char* what) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("The package could not be written (%1).").arg(QLatin1String(what));
        return std::nullopt;
    };
    if (!ZipLibrary::load())
        return fail("no zip library");
    zip_error_t zerr;
    fn().zip_error_init(&zerr);
    zip_source_t* buffer = fn().zip_source_buffer_create(nullptr, 0, 0, &zerr);
    fn().zip_error_fini(&zerr);
    if (!buffer)
        return fail("buffer");
    fn().zip_source_keep(buffer);
    fn().zip_error_init(&zerr);
    zip_t* archive = fn().zip_open_from_source(buffer, ZIP_TRUNCATE, &zerr);
    fn().zip_error_fini(&zerr);
    if (!archive) {
        fn().zip_source_free(buffer);
        return fail("open");
    }
    for (const Entry& e : entries) {
        zip_source_t* s = fn().zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const QByteArray name = e.name.toUtf8();
        const zip_int64_t index = s ? fn().zip_file_add(archive, name.constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (s)
                fn().zip_source_free(s);
            fn().zip_discard(archive);
            fn().zip_source_free(buffer);
            return fail("entry");
        }
        fn().zip_set_file_compression(archive, zip_uint64_t(index), e.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        fn().zip_file_set_mtime(archive, zip_uint64_t(index), 315532800, 0); // 1980-01-01: same bytes each time
    }
    if (fn().zip_close(archive) != 0) {
        fn().zip_discard(archive);
        fn().zip_source_free(buffer);
        return fail("close");
    }
    QByteArray out;
    if (fn().zip_source_open(buffer) == 0) {
        fn().zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = fn().zip_source_tell(buffer);
        fn().zip_source_seek(buffer, 0, SEEK_SET);
        if (size > 0) {
            out.resize(qsizetype(size));
            const zip_int64_t got = fn().zip_source_read(buffer, out.data(), zip_uint64_t(size));
            if (got != size)
                out.clear();
        }
        fn().zip_source_close(buffer);
    }
    fn().zip_source_free(buffer);
    if (out.isEmpty())
        return fail("read back");
    return out;
}

Reader::Reader(const QByteArray& data)
    : m_data(data)
{
    // Without the library no package opens.
    if (!ZipLibrary::load())
        return;
    zip_error_t zerr;
    fn().zip_error_init(&zerr);
    zip_source_t* src = fn().zip_source_buffer_create(m_data.constData(), zip_uint64_t(m_data.size()), 0, &zerr);
    if (src) {
        m_zip = fn().zip_open_from_source(src, ZIP_RDONLY, &zerr);
        if (!m_zip)
            fn().zip_source_free(src);
    }
    fn().zip_error_fini(&zerr);
}

Reader::~Reader()
{
    if (m_zip)
        fn().zip_discard(m_zip);
}

bool Reader::contains(const QString& name) const
{
    return m_zip && fn().zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_ENC_GUESS) >= 0;
}

QStringList Reader::names() const
{
    QStringList out;
    if (!m_zip)
        return out;
    const zip_int64_t n = fn().zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < n && i < 100000; ++i) {
        if (const char* name = fn().zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS))
            out.append(QString::fromUtf8(name));
    }
    return out;
}

std::optional<QByteArray> Reader::read(const QString& name, qint64 cap) const
{
    if (!m_zip)
        return std::nullopt;
    const zip_int64_t index = fn().zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        return std::nullopt;
    zip_stat_t st;
    fn().zip_stat_init(&st);
    const bool xml = Zip::isXmlName(name);
    if (fn().zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)
        && (st.valid & ZIP_STAT_COMP_SIZE)
        && (xml ? qint64(st.size) > cap : !Zip::plausibleSize(qint64(st.comp_size), qint64(st.size), cap))) {
        m_refused = true;
        return std::nullopt;
    }
    zip_file_t* file = fn().zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file)
        return std::nullopt;
    QByteArray out;
    char chunk[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t got = fn().zip_fread(file, chunk, sizeof chunk);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (out.size() + got > cap) {
            m_refused = true;
            ok = false;
            break;
        }
        out.append(chunk, qsizetype(got));
    }
    fn().zip_fclose(file);
    if (!ok)
        return std::nullopt;
    if (xml && !Zip::plausibleXml(out)) {
        m_refused = true;
        return std::nullopt;
    }
    return out;
}

} // namespace ZipPackage
