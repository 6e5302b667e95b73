#include "wordproc/formats/WordML.h"
namespace WordML {
bool looksLikeWordML(const QByteArray&) { return false; }
bool read(const QByteArray&, QTextDocument*, WPDocAttributes*, QString*) { return false; }
QByteArray write(const QTextDocument&, const WPDocAttributes&) { return {}; }
}
