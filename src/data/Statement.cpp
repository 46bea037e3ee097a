#include "Statement.h"

#include "Connection.h"

#include <atomic>
#include <cmath>

namespace data {
namespace {

std::atomic<std::uint64_t> preparations {0};

enum class Affinity { Integer, Text, Blob, Real, Numeric };

// The rule by which the engine gives a column its affinity from the declared type.
Affinity affinityOf(const QString& declType)
{
    if (declType.contains(u"INT"))
        return Affinity::Integer;
    if (declType.contains(u"CHAR") || declType.contains(u"CLOB") || declType.contains(u"TEXT"))
        return Affinity::Text;
    if (declType.isEmpty() || declType.contains(u"BLOB"))
        return Affinity::Blob;
    if (declType.contains(u"REAL") || declType.contains(u"FLOA") || declType.contains(u"DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

} // namespace

bool readsBackAsBound(const QString& declType, const QVariant& value)
{
    if (value.isNull())
        return true;
    const int type = value.typeId();
    // Text that is not valid UTF-16 is stored with replacement characters.
    const bool text = type == QMetaType::QString && QStringView(value.toString()).isValidUtf16();
    // Not a number is stored as Null.
    const bool real = type == QMetaType::Double && !std::isnan(value.toDouble());
    switch (affinityOf(declType)) {
    case Affinity::Integer:
    case Affinity::Numeric:
        return type == QMetaType::LongLong;
    case Affinity::Text:
        return text;
    case Affinity::Blob:
        return text || real || type == QMetaType::LongLong || type == QMetaType::QByteArray;
    case Affinity::Real:
        return real;
    }
    return false;
}

Statement::Statement(sqlite3* db, const QString& sql)
    : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    countPreparation();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        throwEngineError(db);
}

void Statement::bind(int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, text.constData(), sqlite3_uint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }
    if (rc != SQLITE_OK)
        throwEngineError(m_db);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwEngineError(m_db);
}

QVariant columnValue(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                              sqlite3_column_bytes(stmt, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)),
                                   sqlite3_column_bytes(stmt, i)));
    default:
        return {};
    }
}

void countPreparation()
{
    preparations.fetch_add(1, std::memory_order_relaxed);
}

std::uint64_t preparedStatements()
{
    return preparations.load(std::memory_order_relaxed);
}

} // namespace data
