#include "RecordedNotes.h"

#include "PrivatePulse.h"
#include "notes/RecorderModel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>

namespace {

// What people say into a notes recorder: a few sentences a note, each note
// at a rate and in a voice of its own, with the pauses a speaker leaves
// between sentences.
struct Spoken {
    QStringList sentences;
    int wordsPerMinute;
    const char* voice;
};

const char* const kSentences[] = {
    "Remember to email the professor about the lab report before Friday.",
    "Buy milk, eggs and bread on the way home from work.",
    "The meeting with the marketing team has moved to Tuesday afternoon.",
    "Call the dentist tomorrow morning to change my appointment.",
    "Chapter four covers the causes of the first world war.",
    "Pick up the children from school at half past three.",
    "The invoice for the garden work still has not been paid.",
    "Read the next two chapters before the seminar on Monday.",
    "Water the plants and feed the cat while they are away.",
    "The rent is due on the first of every month.",
    "Ask the bank about the interest rate on the new account.",
    "Book a table for four people at the restaurant on Saturday night.",
    "The train to the city leaves at seven fifteen every morning.",
    "Write the summary of the experiment and send it to the group.",
    "Check the oil and the tyres before the long drive next week.",
    "The library closes early on Sunday so return the books today.",
    "Remind me to renew my passport before the summer holiday.",
    "Practice the piano for half an hour after dinner.",
    "The new project starts in March and runs until the end of the year.",
    "Send the photos from the wedding to my sister.",
};

QList<Spoken> notesToSpeak()
{
    const int rates[] = {165, 150, 175, 160, 170, 155, 165};
    const char* const voices[] = {"en-us", "en-us+m3", "en-us+f3"};
    const int count = int(std::size(kSentences));
    QList<Spoken> notes;
    for (int i = 0; i < 7; ++i) {
        Spoken n{{}, rates[i], voices[i % 3]};
        for (int k = i; k < count; k += 7)
            n.sentences.append(QString::fromUtf8(kSentences[k]));
        notes.append(n);
    }
    return notes;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The sentence spoken into a 16 kHz mono WAV: the original recording.
QString speak(const Spoken& s, const QString& folder, int index)
{
    const QString raw = folder + QStringLiteral("/spoken%1.wav").arg(index);
    const QString wav = folder + QStringLiteral("/original%1.wav").arg(index);
    if (!run(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QString::fromLatin1(s.voice), QStringLiteral("-s"),
                                           QString::number(s.wordsPerMinute), QStringLiteral("-g"),
                                           QStringLiteral("4"), QStringLiteral("-w"), raw,
                                           s.sentences.join(QLatin1Char(' '))}))
        return {};
    if (!run(QStringLiteral("sox"), {raw, QStringLiteral("-r"), QStringLiteral("16000"), QStringLiteral("-c"),
                                     QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16"), wav}))
        return {};
    return wav;
}

// The recorder records while the WAV plays into its microphone, as a user
// presses record, speaks and presses stop: the note's audio file.
QString record(RecorderModel& m, PrivatePulse& pulse, const QString& wav)
{
    QEventLoop started;
    QObject::connect(&m, &RecorderModel::capturing, &started, &QEventLoop::quit);
    QTimer::singleShot(5000, &started, &QEventLoop::quit);
    m.requestAndRecord();
    started.exec();
    if (!m.recording())
        return {};
    waitMs(400);
    QProcess player;
    player.start(QStringLiteral("paplay"), {QStringLiteral("--device=bwsink"), wav});
    if (!player.waitForFinished(60000))
        return {};
    waitMs(600);
    m.stopRecording();
    Q_UNUSED(pulse);
    return m.notes().isEmpty() ? QString() : RecorderModel::pathOf(m.notes().first());
}

} // namespace

int recordedNotes(QTextStream& out, const SpeechLibrary::Api& lib, const Transcriber::Recogniser& recogniser,
                  PrivatePulse& pulse)
{
    if (QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty()) {
        out << "recorded notes skipped: espeak-ng and sox are needed\n";
        return 0;
    }
    QTemporaryDir dir;
    RecorderModel m;
    const QList<Spoken> set = notesToSpeak();
    // Errors of the note's transcript, of the recogniser on the recorded
    // note whole, and of the recogniser on the original recording whole.
    int reference = 0, ours = 0, recordedWhole = 0, originalWhole = 0, index = 0;
    // Notes whose transcript is word for word the recorded note's decoded whole.
    int same = 0, measured = 0;
    const std::atomic<bool> cancel{false};
    out << "transcription of " << set.size()
        << " spoken notes recorded through the recorder (AAC), against the original 16 kHz WAV decoded whole\n";
    for (const Spoken& s : set) {
        const QString keep = qEnvironmentVariable("BW_BENCH_KEEP");
        QString wav, note;
        if (!keep.isEmpty() && QFile::exists(keep + QStringLiteral("/note%1.m4a").arg(index))) {
            wav = keep + QStringLiteral("/original%1.wav").arg(index);
            note = keep + QStringLiteral("/note%1.m4a").arg(index);
            ++index;
        } else {
            wav = speak(s, dir.path(), index++);
            note = wav.isEmpty() ? QString() : record(m, pulse, wav);
            if (!keep.isEmpty() && !note.isEmpty()) {
                QFile::copy(wav, keep + QStringLiteral("/original%1.wav").arg(index - 1));
                QFile::copy(note, keep + QStringLiteral("/note%1.m4a").arg(index - 1));
            }
        }
        if (note.isEmpty()) {
            out << "  note " << index << ": could not be spoken and recorded\n";
            continue;
        }
        const QStringList truth = words(s.sentences.join(QLatin1Char(' ')));
        const Transcriber::Result r = Transcriber::recognise(recogniser, note, cancel);
        const int e = distance(words(r.text), truth);
        const QStringList whole = words(wholeFile(lib, note));
        const int w = distance(whole, truth);
        same += words(r.text) == whole ? 1 : 0;
        ++measured;
        const int f = distance(words(wholeFile(lib, wav)), truth);
        reference += int(truth.size());
        ours += e;
        recordedWhole += w;
        originalWhole += f;
        out << "  note " << index << ": words " << truth.size() << ", errors " << e << " (the note whole: " << w
            << ", the original whole: " << f << ")\n    " << r.text << "\n";
        out.flush();
    }
    if (reference == 0)
        return 1;
    auto rate = [reference](int errors) { return 100.0 * errors / reference; };
    out << QStringLiteral("  word error rate of recorded notes: %1 %, the recorded notes decoded whole %2 % (ratio "
                          "%3), the original WAVs decoded whole %4 % (ratio %5)\n")
               .arg(rate(ours), 0, 'f', 1)
               .arg(rate(recordedWhole), 0, 'f', 1)
               .arg(recordedWhole > 0 ? double(ours) / recordedWhole : 0.0, 0, 'f', 2)
               .arg(rate(originalWhole), 0, 'f', 1)
               .arg(originalWhole > 0 ? double(ours) / originalWhole : 0.0, 0, 'f', 2);
    out << QStringLiteral("  transcripts word for word those of the recorded notes decoded whole: %1 of %2\n")
               .arg(same)
               .arg(measured);
    return 0;
}
