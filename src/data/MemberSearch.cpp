#include "MemberSearch.h"

#include "Connection.h"
#include "Engine.h"
#include "Query.h"

#include <sqlcipher/sqlite3.h>

namespace data {
namespace {

// The engine's lower() and LIKE fold only A to Z: the text columns are folded here instead,
// in memory, leaving the stored values as they are.
void foldFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(args[0]));
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const int bytes = sqlite3_value_bytes16(args[0]);
    const QString folded = foldedText(QString::fromRawData(
        reinterpret_cast<const QChar*>(text), qsizetype(bytes / int(sizeof(char16_t)))));
    sqlite3_result_text16(context, folded.utf16(), int(folded.size() * sizeof(char16_t)),
                          SQLITE_TRANSIENT);
}

QString folded(const char* column)
{
    // instr() counts and compares whole characters; the parameter's fold is worked out once
    // per statement, as the function is deterministic.
    return QStringLiteral("instr(melbrin_fold(%1), melbrin_fold(:%2)) > 0")
        .arg(QLatin1String(column), memberSearchParameter());
}

} // namespace

QString memberSearchCondition(Connection& connection)
{
    return connection.engine().searchCondition();
}

QString fileSearchCondition()
{
    return u'(' + folded("name") + QStringLiteral(" or ") + folded("cname") + QStringLiteral(" or ")
        + folded("staffno") + u')';
}

QString foldedText(const QString& text)
{
    return text.toCaseFolded();
}

void keepMembersInMemory(Connection& connection, bool keep)
{
    connection.engine().keepMembersInMemory(keep);
}

void registerSearchFunctions(sqlite3* db)
{
    if (sqlite3_create_function_v2(db, "melbrin_fold", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC,
                                   nullptr, foldFunction, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        throwEngineError(db);
}

} // namespace data
