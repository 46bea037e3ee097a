#pragma once

#include "Engine.h"
#include "ServerSession.h"

namespace data {

// A statement prepared on the server under a name of its own and described before it runs;
// the whole result of a run is held until reset().
class ServerStatement final : public EngineStatement
{
public:
    ServerStatement(ServerSession& session, const QString& sql);
    ~ServerStatement() override;

    int columnCount() const override { return int(m_columns.size()); }
    EngineColumn column(int index) const override { return m_columns.at(size_t(index)); }
    int parameterCount() const override { return int(m_names.size()); }
    QString parameterName(int index) const override { return m_names.at(size_t(index - 1)); }
    void bind(int index, const QVariant& value) override;
    bool step() override;
    QVariant value(int column) const override;
    void reset() override;
    qint64 changes() const override { return m_changes; }

private:
    ServerSession& m_session;
    QByteArray m_name;
    std::vector<EngineColumn> m_columns;
    std::vector<QString> m_names;
    std::vector<QVariant> m_values;
    ServerResult m_result {nullptr, &PQclear};
    int m_row = -1;
    qint64 m_changes = 0;
};

} // namespace data
