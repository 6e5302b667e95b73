#pragma once

#include <QMap>
#include <QString>

// The notice for what a file holds that the word processor cannot keep
// (comments, charts, diagrams, drawings, embedded objects, linked pictures),
// counted by kind as the readers report it.
namespace NotKept {

// "This document has 2 comments and 1 chart that the word processor does
// not keep; saving it will leave them out." Empty when nothing is dropped.
QString notice(const QMap<QString, int>& counts);

// Counts the first-page and even-page variants of a header or footer
// ("header" or "footer") that the document does not keep: a first-page one
// beside a different main one (without a main one it becomes the main one),
// and an even-page one that differs from the main one.
void countVariants(QMap<QString, int>& counts, const QString& kind, const QString& main, const QString& first,
                   const QString& even);

} // namespace NotKept
