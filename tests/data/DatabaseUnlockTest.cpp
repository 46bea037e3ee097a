#include "data/DatabaseUnlock.h"

#include "KeyedFile.h"
#include "MemoryKeyStore.h"
#include "TempDatabase.h"
#include "data/DatabaseKey.h"
#include "data/Error.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString own = QStringLiteral("Our office, 2026");
const QString wrong = QStringLiteral("not ours");

// The questions asked, and the answers given in turn (nullopt: cancel). A question beyond
// the answers fails the test.
struct Questions
{
    std::vector<std::optional<data::Answers::Passphrase>> answers;
    std::vector<std::pair<int, QString>> asked;

    data::AskPassphrase ask()
    {
        return [this](int attempt, const QString& problem) {
            asked.emplace_back(attempt, problem);
            if (asked.size() > answers.size()) {
                ADD_FAILURE() << "asked once more than expected";
                return std::optional<data::Answers::Passphrase>();
            }
            return answers[asked.size() - 1];
        };
    }
};

data::Answers::Passphrase typed(const QString& passphrase, bool remember = false)
{
    return {passphrase, remember};
}

struct Unlock : ::testing::Test
{
    TempDatabase db;
    MemoryKeyStore store;
    QString name() const { return data::keyStoreName(db.path()); }
    void keyWith(const QString& key) { data::rekeyDatabase(db.path(), data::defaultKey(), key); }
    QString failure(const data::AskPassphrase& ask)
    {
        try {
            data::unlockDatabase(db.path(), ask);
        } catch (const data::Error& e) {
            return e.message();
        }
        return {};
    }
};

TEST_F(Unlock, ARememberedPassphraseOpensWithoutAQuestion)
{
    keyWith(own);
    store.entries.insert(name(), own);
    Questions none;
    EXPECT_EQ(data::unlockDatabase(db.path(), none.ask()), own);
    EXPECT_TRUE(none.asked.empty());
    EXPECT_EQ(store.entries.value(name()), own);
}

TEST_F(Unlock, TheDefaultKeyOpensWithoutAQuestion)
{
    Questions none;
    EXPECT_EQ(data::unlockDatabase(db.path(), none.ask()), data::defaultKey());
    EXPECT_TRUE(none.asked.empty());
    EXPECT_TRUE(store.entries.isEmpty());
    EXPECT_EQ(store.lookups, 1);

    // A passphrase remembered from before the file went back to the default is forgotten.
    store.entries.insert(name(), wrong);
    EXPECT_EQ(data::unlockDatabase(db.path(), none.ask()), data::defaultKey());
    EXPECT_TRUE(store.entries.isEmpty());
}

TEST_F(Unlock, AnswersOpenTheFileAndAreRememberedWhenAskedTo)
{
    keyWith(own);
    struct Case
    {
        const char* what;
        std::optional<QString> before; // what the store held
        std::vector<std::optional<data::Answers::Passphrase>> answers;
        std::optional<QString> after;
        std::vector<QString> problems;
    } cases[] = {
        {"first answer, remembered", std::nullopt, {typed(own, true)}, own, {QString()}},
        {"not remembered", std::nullopt, {typed(own)}, std::nullopt, {QString()}},
        {"stale one replaced", wrong, {typed(own, true)}, own, {QString()}},
        {"stale one forgotten", wrong, {typed(own)}, std::nullopt, {QString()}},
        {"third try, an empty one counts",
         std::nullopt,
         {typed(QString(), true), typed(wrong, true), typed(own, true)},
         own,
         {QString(), QStringLiteral("The password is empty."),
          QStringLiteral("The password does not open this database.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store.entries.clear();
        if (c.before)
            store.entries.insert(name(), *c.before);
        Questions questions {c.answers, {}};
        EXPECT_EQ(data::unlockDatabase(db.path(), questions.ask()), own);
        ASSERT_EQ(questions.asked.size(), c.problems.size());
        for (size_t i = 0; i < c.problems.size(); ++i) {
            EXPECT_EQ(questions.asked[i].first, int(i + 1));
            EXPECT_EQ(questions.asked[i].second, c.problems[i]);
        }
        EXPECT_EQ(store.entries.size(), c.after ? 1 : 0);
        if (c.after) {
            EXPECT_EQ(store.entries.value(name()), *c.after);
        }
    }
}

TEST_F(Unlock, GivesUpAfterThreeTriesOrACancelWithTheEnginesReason)
{
    keyWith(own);
    struct Case
    {
        const char* what;
        std::vector<std::optional<data::Answers::Passphrase>> answers;
        size_t asked;
    } cases[] = {
        {"three wrong", {typed(wrong, true), typed(QString()), typed(wrong)}, 3},
        {"cancelled", {std::nullopt}, 1},
        {"cancelled after a wrong one", {typed(wrong), std::nullopt}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Questions questions {c.answers, {}};
        EXPECT_EQ(failure(questions.ask()),
                  QStringLiteral("Cannot open '%1': file is encrypted or is not a database")
                      .arg(db.path()));
        EXPECT_EQ(questions.asked.size(), c.asked);
        EXPECT_TRUE(store.entries.isEmpty());
    }
    // Without anyone to ask, the default key is the last try.
    EXPECT_TRUE(failure({}).contains(u"is not a database"));
    EXPECT_TRUE(data::keyOpens(db.path(), own));
}

TEST_F(Unlock, RemembersUnderTheAbsolutePath)
{
    keyWith(own);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir(db.dir()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QDir::setCurrent(db.dir()));
    Questions questions {{typed(own, true)}, {}};
    const QString found
        = data::unlockDatabase(QStringLiteral("./sub/../cardinfo.mdb"), questions.ask());
    QDir::setCurrent(previous);
    EXPECT_EQ(found, own);
    EXPECT_EQ(store.entries.keys(), QStringList {QDir::cleanPath(db.path())});
    // Found again under any name of the same file.
    Questions none;
    EXPECT_EQ(data::unlockDatabase(db.dir() + QStringLiteral("//./cardinfo.mdb"), none.ask()), own);
}

TEST(UnlockWithoutStore, AnAnswerStillOpensTheFile)
{
    TempDatabase db;
    MemoryKeyStore store(false);
    data::rekeyDatabase(db.path(), data::defaultKey(), own);
    Questions questions {{typed(own, true)}, {}};
    EXPECT_EQ(data::unlockDatabase(db.path(), questions.ask()), own);
    EXPECT_TRUE(store.entries.isEmpty());
}

TEST(UnlockServer, TheDefaultKeyComesBackUntried)
{
    MemoryKeyStore store;
    Questions none;
    EXPECT_EQ(
        data::unlockDatabase(QStringLiteral("postgresql://staff@db.example/cards"), none.ask()),
        data::defaultKey());
    EXPECT_EQ(store.lookups, 0);
    EXPECT_TRUE(none.asked.empty());
}

} // namespace
