#include "PrintedMembers.h"

#include "data/Answers.h"
#include "data/CardTimes.h"
#include "data/Error.h"
#include "data/Query.h"

namespace cards {
namespace {

PrintedMembers* innermost = nullptr;

} // namespace

PrintedMembers::PrintedMembers(data::Query& rows, QString reason)
    : m_connection(rows.connection())
    , m_reason(std::move(reason))
    , m_outer(innermost)
{
    if (rows.isOpen() && rows.hasColumn(QStringLiteral("seq"))) {
        for (rows.first(); !rows.eof(); rows.next()) {
            const QVariant seq = rows.value(QStringLiteral("seq"));
            if (!seq.isNull())
                m_seqs.push_back(seq.toLongLong());
        }
        rows.first();
    }
    innermost = this;
}

PrintedMembers::~PrintedMembers()
{
    innermost = m_outer;
}

bool PrintedMembers::markPrinted(QString& reason) const
{
    if (!m_reason.isEmpty()) {
        reason = m_reason;
        return false;
    }
    try {
        data::markPrinted(m_connection, m_seqs);
    } catch (const data::Error& e) {
        reason = e.message();
        return false;
    }
    return true;
}

void pagesPrinted()
{
    if (!innermost)
        return;
    QString reason;
    if (!innermost->markPrinted(reason))
        data::showError(QStringLiteral("The cards were printed, but the time they were printed "
                                       "could not be stored in the database."),
                        reason);
}

} // namespace cards
