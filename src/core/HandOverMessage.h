#pragma once

#include <QByteArray>
#include <QStringList>

// What a later start tells the running copy over the local socket: one line
// "open " + the percent-encoded UTF-8 path per document, then "end"; or
// "reopen" alone. The running copy answers "ok". Whatever else arrives (an
// unknown line, an endless line, more documents than anyone opens at once)
// is refused without acting on any of it.
namespace HandOverMessage {

inline constexpr qsizetype kMaxLineBytes = 64 * 1024;
inline constexpr qsizetype kMaxFiles = 1000;

QByteArray encode(const QStringList& files);
QByteArray answer();

class Reader {
public:
    enum class State { needMore, complete, refused };

    // Takes the next bytes received; the state after them. Bytes after a
    // complete or refused message are ignored.
    State feed(const QByteArray& bytes);
    State state() const { return m_state; }

    // Complete: "reopen" asked for the floating menu; else the documents.
    bool reopen() const { return m_reopen; }
    QStringList files() const { return m_files; }

private:
    QByteArray m_buffer;
    QStringList m_files;
    bool m_reopen = false;
    State m_state = State::needMore;
};

} // namespace HandOverMessage
