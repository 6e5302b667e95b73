#include "ui/GrammarWorker.h"

#include "ui/GrammarParser.h"

GrammarWorker::~GrammarWorker()
{
    GrammarParser::deleteOptions(m_options);
}

void GrammarWorker::check(const QString& sentence)
{
    GrammarParser::Verdict verdict;
    if (const GrammarParser* parser = GrammarParser::shared()) {
        if (!m_options) {
            GrammarParser::quietThread();
            m_options = GrammarParser::makeOptions();
        }
        verdict = parser->check(sentence, m_options);
    }
    Q_EMIT checked(sentence, verdict.ok, verdict.reason);
}
