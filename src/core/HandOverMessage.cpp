#include "core/HandOverMessage.h"

namespace HandOverMessage {

namespace {
constexpr char kReopen[] = "reopen";
constexpr char kOpen[] = "open ";
constexpr char kEnd[] = "end";
} // namespace

QByteArray encode(const QStringList& files)
{
    QByteArray request;
    for (const QString& f : files)
        request += kOpen + f.toUtf8().toPercentEncoding() + '\n';
    request += QByteArray(files.isEmpty() ? kReopen : kEnd) + '\n';
    return request;
}

QByteArray answer()
{
    return QByteArrayLiteral("ok\n");
}

Reader::State Reader::feed(const QByteArray& bytes)
{
    if (m_state != State::needMore)
        return m_state;
    m_buffer += bytes;
    qsizetype start = 0;
    for (qsizetype end; (end = m_buffer.indexOf('\n', start)) >= 0; start = end + 1) {
        const QByteArray line = m_buffer.mid(start, end - start);
        if (line.startsWith(kOpen) && m_files.size() < kMaxFiles) {
            m_files.append(QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(5).trimmed())));
            continue;
        }
        m_buffer.clear();
        if (line == kReopen && m_files.isEmpty()) {
            m_reopen = true;
            return m_state = State::complete;
        }
        if (line == kEnd)
            return m_state = State::complete;
        m_files.clear();
        return m_state = State::refused;
    }
    m_buffer.remove(0, start);
    if (m_buffer.size() > kMaxLineBytes) {
        m_buffer.clear();
        m_files.clear();
        m_state = State::refused;
    }
    return m_state;
}

} // namespace HandOverMessage
