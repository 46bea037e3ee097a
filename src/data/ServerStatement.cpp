#include "ServerStatement.h"

#include "ServerSql.h"
#include "Statement.h"

#include <cmath>

namespace data {
namespace {

// A value as the server reads it in text format.
QByteArray textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return QByteArray::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isnan(d))
            return "NaN";
        if (std::isinf(d))
            return d < 0 ? "-Infinity" : "Infinity";
        return QByteArray::number(d, 'g', 17);
    }
    default:
        return value.toString().toUtf8();
    }
}

} // namespace

ServerStatement::ServerStatement(ServerSession& session, const QString& sql)
    : m_session(session)
{
    const ServerSql translated = translateParameters(sql);
    m_names = translated.names;
    m_name = session.newStatementName();
    countPreparation();
    session.checked(
        PQprepare(session.conn(), m_name.constData(), translated.text.constData(), 0, nullptr));
    try {
        const ServerResult description
            = session.checked(PQdescribePrepared(session.conn(), m_name.constData()));
        const PGresult* d = description.get();
        if (PQnparams(d) > int(m_names.size()))
            m_names.resize(size_t(PQnparams(d)));
        for (int i = 0; i < PQnfields(d); ++i) {
            EngineColumn c;
            c.name = QString::fromUtf8(PQfname(d, i));
            const auto [table, column] = session.origin(PQftable(d, i), PQftablecol(d, i));
            c.table = table;
            c.origin = column;
            c.declType = declaredTypeOf(PQftype(d, i));
            m_columns.push_back(c);
        }
    } catch (...) {
        session.release(m_name);
        throw;
    }
    m_values.resize(m_names.size());
}

ServerStatement::~ServerStatement()
{
    m_session.release(m_name);
}

void ServerStatement::bind(int index, const QVariant& value)
{
    m_values.at(size_t(index - 1)) = value;
}

bool ServerStatement::step()
{
    if (!m_result) {
        const size_t n = m_values.size();
        std::vector<QByteArray> texts(n);
        std::vector<const char*> values(n, nullptr);
        std::vector<int> lengths(n, 0);
        std::vector<int> formats(n, 0);
        for (size_t i = 0; i < n; ++i) {
            const QVariant& v = m_values[i];
            if (v.isNull())
                continue;
            // Bytes go as they are; everything else as text, which the server converts to
            // the parameter's type.
            const bool bytes = v.typeId() == QMetaType::QByteArray;
            texts[i] = bytes ? v.toByteArray() : textOf(v);
            values[i] = texts[i].constData();
            lengths[i] = int(texts[i].size());
            formats[i] = bytes ? 1 : 0;
        }
        m_result
            = m_session.checked(PQexecPrepared(m_session.conn(), m_name.constData(), int(n),
                                               values.data(), lengths.data(), formats.data(), 0));
        m_changes = QByteArray(PQcmdTuples(m_result.get())).toLongLong();
        m_row = -1;
    }
    if (m_row < PQntuples(m_result.get()))
        ++m_row;
    return m_row < PQntuples(m_result.get());
}

QVariant ServerStatement::value(int column) const
{
    if (!m_result || m_row < 0 || m_row >= PQntuples(m_result.get()))
        return {};
    return serverValue(m_result.get(), m_row, column);
}

void ServerStatement::reset()
{
    m_result.reset();
    m_row = -1;
    std::fill(m_values.begin(), m_values.end(), QVariant());
}

} // namespace data
