// Feeds arbitrary bytes, in arbitrary pieces, to the running copy's reading
// of a later start's message; then checks that any list of documents made
// from the same bytes goes through whole.
#include "core/HandOverMessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    HandOverMessage::Reader reader;
    // The first byte sets the size of the pieces the socket delivers.
    const qsizetype chunk = bytes.isEmpty() ? 1 : 1 + (uchar(bytes.at(0)) % 64);
    for (qsizetype i = 1; i < bytes.size(); i += chunk)
        reader.feed(bytes.mid(i, chunk));
    if (reader.files().size() > HandOverMessage::kMaxFiles)
        std::abort();
    if (reader.state() != HandOverMessage::Reader::State::complete && !reader.files().isEmpty()
        && reader.state() != HandOverMessage::Reader::State::needMore)
        std::abort(); // a refused message hands nothing over

    QStringList files;
    for (const QByteArray& part : bytes.split('\0')) {
        if (!part.isEmpty() && files.size() < 20)
            files.append(QString::fromUtf8(part));
    }
    HandOverMessage::Reader back;
    if (back.feed(HandOverMessage::encode(files)) != HandOverMessage::Reader::State::complete)
        std::abort();
    // Text that is not valid UTF-8 was already replaced on the way in, so
    // what arrives is what was sent.
    if (back.files() != files || back.reopen() != files.isEmpty())
        std::abort();
    return 0;
}
