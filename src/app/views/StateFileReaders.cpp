#include "app/views/StateFileReaders.h"

#include "calc/ConverterModel.h"
#include "calc/LoanGPAModel.h"
#include "calc/ScientificModel.h"
#include "citations/CitationModel.h"
#include "core/Json.h"
#include "games/GameStats.h"
#include "invoices/InvoiceStore.h"
#include "notes/RecorderModel.h"
#include "notes/StickyNote.h"
#include "notes/StickyStore.h"
#include "notes/VoiceNote.h"
#include "planner/FocusModel.h"
#include "planner/StudyGoal.h"
#include "planner/TimelineModel.h"

namespace StateFileReaders {

namespace {

template <class T>
Store::StateFile record(const QString& name)
{
    return {name, [](const QJsonValue& v) { return T::fromJson(v).has_value(); }};
}

template <class T>
Store::StateFile list(const QString& name)
{
    return {name, [](const QJsonValue& v) { return Json::toList<T>(v).has_value(); }};
}

} // namespace

QList<Store::StateFile> all()
{
    return {
        record<ScientificModel::Saved>(ScientificModel::fileName()),
        list<StickyNote>(StickyStore::fileName()),
        list<VoiceNote>(RecorderModel::fileName()),
        record<FocusModel::Saved>(FocusModel::fileName()),
        record<CitationModel::Saved>(QString::fromLatin1(CitationModel::fileName)),
        record<InvoiceStore::Saved>(QString::fromLatin1(InvoiceStore::fileName)),
        list<StudyGoal>(TimelineModel::fileName()),
        record<ConverterModel::Saved>(ConverterModel::kFileName),
        record<LoanGPAModel::Saved>(LoanGPAModel::kFileName),
        record<GameStats>(QString::fromLatin1(GameStats::fileName)),
    };
}

} // namespace StateFileReaders
