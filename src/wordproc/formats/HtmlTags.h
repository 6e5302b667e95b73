#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Tags of a page taken apart exactly as Qt's HTML reader takes them apart:
// where a tag ends, its name, and the attributes Qt gives the element. What
// bounds a page before Qt reads it must see the tags Qt will see, or a
// broken page could hide a table or a span from it.
namespace HtmlTags {

struct Attribute {
    QString key;   // lower case
    QString value; // entities resolved, as Qt reads it
    // Where the value stands in the page, quotes included; -1 for a key
    // written without one.
    qsizetype valueStart = -1;
    qsizetype valueEnd = -1;
};

struct Tag {
    enum Kind { Open, Close, Declaration };
    Kind kind = Open;
    QString name; // lower case; empty for a comment or declaration
    QList<Attribute> attributes;
    bool closed = false; // an open tag written as closing itself ("<td/>")
    qsizetype end = 0;   // just past the tag
};

// The tag whose '<' is at `at`.
Tag read(QStringView html, qsizetype at);

} // namespace HtmlTags
