#pragma once

// Helpers shared by the word processor's file tests.
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include "wordproc/WPTextModel.h"

namespace DocxTestFiles {

// A small picture of one colour in `format`.
inline QByteArray picture(int w, int h, QColor color, const char* format)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(color);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, format);
    return out;
}

inline QByteArray png(int w, int h, QColor color = Qt::red)
{
    return picture(w, h, color, "PNG");
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

// A run of text, in the editor's default font unless `withFont` is false.
inline WPTextModel::Run run(const QString& text, bool withFont = true)
{
    WPTextModel::Run r;
    r.text = text;
    if (withFont) {
        r.family = QStringLiteral("Helvetica Neue");
        r.pointSize = 12;
    }
    return r;
}

inline WPTextModel::Paragraph para(const QList<WPTextModel::Run>& runs, const WPTextModel::ParagraphStyle& style = {})
{
    WPTextModel::Paragraph p;
    p.runs = runs;
    p.style = style;
    return p;
}

// A picture of `data` shown at `size` points.
inline WPTextModel::Run pictureRun(QSizeF size, const QByteArray& data)
{
    WPTextModel::Run r = run(QString(QChar(0xFFFC)));
    WPTextModel::Picture p;
    p.data = data;
    p.sizePt = size;
    r.picture = p;
    return r;
}

} // namespace DocxTestFiles
