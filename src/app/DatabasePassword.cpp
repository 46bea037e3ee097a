// The password of the database file the window works on: asked for when the file does not
// open with the one remembered or the default one, and changed with File > Database
// Password.
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/DatabaseKey.h"
#include "data/DatabaseUnlock.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/KeyStore.h"
#include "data/Tdsrc.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

namespace app {

QString TMelbrin::unlockKey(const QString& source)
{
    // The file open now opens again with the key it is open with, without a question.
    if (m_dsrc.src.isOpen() && !m_dsrc.src.isServer() && !data::isServerAddress(source)
        && data::keyStoreName(m_dsrc.src.fileName()) == data::keyStoreName(source)
        && data::keyOpens(source, m_dsrc.key()))
        return m_dsrc.key();
    const auto ask = [this, &source](int, const QString& problem) {
        QString prompt = tr("The database file '%1' has a password of its own. Enter it to open "
                            "the file.")
                             .arg(QDir::toNativeSeparators(source));
        if (!problem.isEmpty())
            prompt = problem + QStringLiteral("\n\n") + prompt;
        // Asked at start, before the window shows, the question stands on its own: a window
        // made ready for it early would come up placed as if it had no frame.
        return data::answers().askPassphrase(isVisible() ? this : nullptr, tr("Database Password"),
                                             prompt, data::keyStore().available());
    };
    return data::unlockDatabase(source, ask);
}

void TMelbrin::actDatabasePasswordExecute()
{
    if (!m_dsrc.src.isOpen())
        throw data::Error(tr("No database is open"));
    if (m_dsrc.src.isServer()) {
        data::showInformation(tr("A database on a server has no password of its own; the "
                                 "server's accounts protect it."));
        return;
    }
    const std::optional<data::Answers::Passphrase> chosen = data::answers().newPassphrase(
        this, tr("Database Password"), data::keyStore().available());
    if (!chosen)
        return;
    const QString path = m_dsrc.src.fileName();
    const QString oldKey = m_dsrc.key();
    const QString newKey = chosen->passphrase.isEmpty() ? data::defaultKey() : chosen->passphrase;
    if (newKey == oldKey) {
        // The file stays as it is; a password it already has may still be remembered now.
        if (chosen->remember)
            rememberKey(path, newKey, true);
        data::showInformation(tr("The password was not changed: the database is still %1.")
                                  .arg(data::keyProtection(newKey)));
        return;
    }

    const QVariant member = searching()
        ? m_groupSelection
        : m_dsrc.QStaff.rowValue(m_dsrc.QStaff.currentRow(), QStringLiteral("seq"));
    leaveSearch(false);
    // The engine changes the key on a connection of its own, with no other open on the file.
    m_dsrc.src.close();
    try {
        data::rekeyDatabase(path, oldKey, newKey);
    } catch (const std::exception&) {
        // The file keeps the key it had, and the window goes on with it.
        data::guarded([&] { reopenDatabase(path, oldKey, member); });
        throw;
    }
    // Remembered before anything else can fail: the file now opens with the new key only.
    rememberKey(path, newKey, chosen->remember);
    reopenDatabase(path, newKey, member);
    data::showInformation(
        tr("The password was changed: the database is now %1.").arg(data::keyProtection(newKey)));
}

void TMelbrin::rememberKey(const QString& path, const QString& key, bool remember)
{
    if (!remember || data::isDefaultKey(key)) {
        data::keyStore().forget(path);
        return;
    }
    QString reason;
    if (!data::keyStore().remember(path, key, &reason))
        data::showError(tr("The password could not be remembered on this computer: it will be "
                           "asked for each time the database is opened."),
                        reason);
}

void TMelbrin::reopenDatabase(const QString& path, const QString& key, const QVariant& member)
{
    const bool showMember = !detailsEdited();
    try {
        m_dsrc.connectTo(path, key);
    } catch (const std::exception&) {
        data::guarded([this] { showOpenedDatabase(); });
        throw;
    }
    showDatabaseName();
    m_listStale = false;
    fillGroupList();
    if (const int entry = lstGroup->findData(m_groupId); entry >= 0) {
        const QSignalBlocker blocker(lstGroup);
        lstGroup->setCurrentIndex(entry);
    }
    OpenGroupMembers();
    if (!member.isNull())
        m_dsrc.QStaff.locate(QStringLiteral("seq"), member);
    syncGrid();
    if (showMember)
        ShowDetails();
}

} // namespace app
