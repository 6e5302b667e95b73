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

} // namespace NotKept
