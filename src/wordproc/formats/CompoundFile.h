#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// Streams of an OLE2 compound file (the container of Word 97 documents),
// read from memory with every offset and chain checked.
class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& data);
    bool isValid() const { return m_valid; }
    // A stream of the root storage by name ("WordDocument", "1Table").
    std::optional<QByteArray> stream(const QString& name) const;

    // A compound file of 512-byte sectors whose root storage holds `streams`
    // (name, contents) in the order given. Streams below the mini-stream
    // cutoff are padded up to it, so every stream lives in regular sectors.
    // `rootClass` is the 16-byte class id of the root storage, or empty.
    static QByteArray write(const QList<std::pair<QString, QByteArray>>& streams,
                            const QByteArray& rootClass = QByteArray());

private:
    struct Entry {
        QString name;
        int type = 0;
        quint32 start = 0;
        quint64 size = 0;
    };
    quint32 u32(qint64 offset) const;
    std::optional<QByteArray> chain(quint32 start, quint64 size, bool mini) const;
    QByteArray sector(quint32 index) const;

    QByteArray m_data;
    bool m_valid = false;
    int m_sectorSize = 512;
    int m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    QList<quint32> m_fat;
    QList<quint32> m_miniFat;
    QList<Entry> m_entries;
    QByteArray m_miniStream;
};
