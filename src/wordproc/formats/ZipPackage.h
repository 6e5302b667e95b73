#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct zip;

// ZIP packages in memory through libzip: reading entries by their exact
// names with a size cap each, and writing a package deterministically.
namespace ZipPackage {

inline constexpr qint64 kMaxEntryBytes = 64 * 1024 * 1024;

struct Entry {
    QString name;
    QByteArray data;
    bool compress = true;
};

// The package bytes; nothing (with `error` set) when libzip fails.
std::optional<QByteArray> write(const QList<Entry>& entries, QString* error);

class Reader {
public:
    explicit Reader(const QByteArray& data);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool contains(const QString& name) const;
    QStringList names() const;
    // The entry's bytes; nothing when it is missing, unreadable or larger
    // than `cap`.
    // An XML part that holds more than real documents do, or another entry
    // that inflates beyond what real files do (see Zip::plausibleXml and
    // Zip::plausibleSize), is refused too.
    std::optional<QByteArray> read(const QString& name, qint64 cap = kMaxEntryBytes) const;
    bool refusedForSize() const { return m_refused; }

private:
    QByteArray m_data; // libzip reads from this buffer
    zip* m_zip = nullptr;
    mutable bool m_refused = false;
};

} // namespace ZipPackage
