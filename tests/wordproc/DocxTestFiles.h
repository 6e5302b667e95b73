#pragma once

// Helpers shared by the word processor's file tests.
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace DocxTestFiles {

// A small PNG of one colour.
inline QByteArray png(int w, int h, QColor color = Qt::red)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(color);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return out;
}

// The system's python3 (which carries python3-docx), else the first on PATH;
// empty without one.
inline QString python()
{
    for (const QString& p : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3"))})
        if (!p.isEmpty() && QFile::exists(p))
            return p;
    return {};
}

// Whether `python` can import `module`.
inline bool hasModule(const QString& python, const QString& module)
{
    QProcess probe;
    probe.start(python, {QStringLiteral("-c"), QStringLiteral("import ") + module});
    return probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

} // namespace DocxTestFiles
