#include "wordproc/formats/Odt.h"
namespace Odt {
bool looksLikeOdt(const QByteArray&) { return false; }
bool read(const QByteArray&, QTextDocument*, WPDocAttributes*, QString*) { return false; }
std::optional<QByteArray> write(const QTextDocument&, const WPDocAttributes&, QString*) { return std::nullopt; }
}
