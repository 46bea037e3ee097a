// The search condition of the member list, as the engine answers it with the text bound.
#include "data/MemberSearch.h"

#include "Backend.h"
#include "data/Connection.h"
#include "data/Query.h"

#include <gtest/gtest.h>

namespace {

struct Found : ::testing::TestWithParam<Backend::Kind>
{
    std::unique_ptr<Backend> db;
    data::Connection conn;
    void SetUp() override
    {
        QString why;
        db = Backend::make(GetParam(), &why);
        if (!db)
            GTEST_SKIP() << why.toStdString();
        const struct
        {
            const char* name;
            const char* cname;
            const char* staffno;
        } members[] = {
            {"Émile Roux", "", "S001"},  {"ÉMILE BLANC", "", "S002"},  {"Ödön Kiss", "", "50%"},
            {"Ann_Lee", "李安", "S_4"},  {"Annelee", "李小龍", "S04"}, {"Σοφία Παππά", "", "G7"},
            {"Дмитрий Орлов", "", "R1"}, {"Wu", "𠀋一", ""},
        };
        for (const auto& m : members)
            addMember(*db, 1, QString::fromUtf8(m.name), QString::fromUtf8(m.cname),
                      QString::fromUtf8(m.staffno));
        // Null columns, as older files hold them
        db->exec(QStringLiteral("update stafftbl set cname = null where staffno = '50%'"));
        db->exec(QStringLiteral("update stafftbl set staffno = null where name = 'Wu'"));
        db->open(conn);
    }

    QStringList find(const QString& text)
    {
        data::Query q(conn, QStringLiteral("found"));
        q.setSql(QStringLiteral("select * from stafftbl where ") + data::memberSearchCondition(conn)
                 + QStringLiteral(" order by seq"));
        q.setParameter(data::memberSearchParameter(), text);
        q.open();
        QStringList names;
        for (q.first(); !q.eof(); q.next())
            names << q.asString(QStringLiteral("name"));
        return names;
    }
};

TEST_P(Found, MatchesNameChineseNameOrStaffNoWithoutLetterCase)
{
    const struct
    {
        const char* text;
        QStringList names;
    } cases[] = {
        // letter case beyond A to Z, either way round
        {"émile", {"Émile Roux", "ÉMILE BLANC"}},
        {"ÉMILE R", {"Émile Roux"}},
        {"ödön", {"Ödön Kiss"}},
        {"ΣΟΦΊΑ", {"Σοφία Παππά"}},
        {"дмитрий", {"Дмитрий Орлов"}},
        // Chinese by characters, also outside the basic plane
        {"安", {"Ann_Lee"}},
        {"小龍", {"Annelee"}},
        {"李", {"Ann_Lee", "Annelee"}},
        {"𠀋", {"Wu"}},
        // staff no
        {"s00", {"Émile Roux", "ÉMILE BLANC"}},
        // wildcards of LIKE are plain characters
        {"%", {"Ödön Kiss"}},
        {"n_l", {"Ann_Lee"}},
        {"s_", {"Ann_Lee"}},
        // quotes stay in the bound text
        {"x' or '1'='1", {}},
        {"zzz", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find(QString::fromUtf8(c.text)), c.names) << c.text;
}

INSTANTIATE_TEST_SUITE_P(, Found, ::testing::Values(Backend::Kind::File, Backend::Kind::Server),
                         [](const auto& info) {
                             return info.param == Backend::Kind::File ? "File" : "Server";
                         });

} // namespace
