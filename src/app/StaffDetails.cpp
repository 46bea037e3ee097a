// The details panel's commands: save, clear, delete, delete all and the photo buttons.
#include "TMelbrin.h"
#include "data/Answers.h"
#include "data/CardTimes.h"
#include "data/DateText.h"
#include "data/Error.h"
#include "data/ErrorHandler.h"
#include "data/QueryTableModel.h"
#include "data/Tdsrc.h"
#include "data/Utils.h"
#include "data/WidgetUtils.h"
#include "imaging/ImageBox.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureBlob.h"
#include "imaging/PictureCommands.h"
#include "imaging/StoredPicture.h"
#include "imaging/TPg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalBlocker>

namespace app {

void TMelbrin::StoreDetails(bool found)
{
    storeDetailsInto(m_dsrc.QStaff, found, m_groupId);
}

void TMelbrin::storeDetailsInto(data::Query& q, bool found, int gid)
{
    try {
        const data::CardChange change(q, !found);
        if (found)
            q.edit();
        else
            q.append();
        q.setValue(QStringLiteral("gid"), gid);
        q.setValue(QStringLiteral("cardno"), 0);
        q.setValue(QStringLiteral("name"), eName->text());
        q.setValue(QStringLiteral("cname"), eCname->text());
        q.setValue(QStringLiteral("staffno"), eStaffNo->text());
        q.setValue(QStringLiteral("post"), ePost->text());
        q.setValue(QStringLiteral("remark"), eRemark->text());
        q.setValue(QStringLiteral("datejoin"), data::dateToText(dpJoin->date()));
        q.setValue(QStringLiteral("expiry"), data::dateToText(dpExpiry->date()));
        imaging::SavePictureToBlob(q, QStringLiteral("photo"), *imgPhoto);
        change.stamp(q);
        q.post();
    } catch (const data::RowConflict&) {
        q.cancel();
        throw; // the list is read again before the user is told
    } catch (const std::exception& e) {
        q.cancel();
        const auto* own = dynamic_cast<const data::Error*>(&e);
        data::ShowPostError(own ? own->message() : QString::fromLocal8Bit(e.what()));
    }
    if (&q == &m_dsrc.QStaff)
        syncGrid();
}

void TMelbrin::bSaveClick()
{
    const QString name = eName->text();
    if (name.isEmpty()) {
        data::showError(QStringLiteral("Name field cannot be empty."));
        return;
    }
    int target = m_groupId;
    data::Query& all = m_dsrc.QAllStaff;
    if (!all.isOpen())
        all.open();
    struct CloseAll
    {
        data::Query& q;
        ~CloseAll() { q.close(); }
    } closeAll {all};
    requireShownMemberUnchanged(name);
    bool found = false;
    if (all.rowCount() > 0) {
        found = all.locate(QStringLiteral("name"), name);
        if (found)
            target = all.asInt(QStringLiteral("gid"));
    }
    if (found && !data::ConfirmOverwrite())
        return;
    if (searching()) {
        saveInSearchResults(name, found);
        return;
    }
    if (showingReprints()) {
        saveInReprintList(name, found);
        return;
    }

    QString groupName;
    const bool groupListed = data::LocateStr(m_dsrc.QGroup, target, QStringLiteral("gid"),
                                             QStringLiteral("gdesc"), groupName);
    // A stored member whose group has no row cannot be listed: overwrite it in place, in its
    // own group, rather than adding a second member of the same name.
    const bool storedInPlace = found && !groupListed;
    if (storedInPlace)
        storeDetailsInto(all, true, target);

    m_groupId = target;
    if (const int entry = lstGroup->findData(target); entry >= 0) {
        const QSignalBlocker blocker(lstGroup);
        lstGroup->setCurrentIndex(entry);
    }
    OpenGroupMembers();
    const bool inList = m_dsrc.QStaff.locate(QStringLiteral("name"), name);
    syncGrid();
    if (!storedInPlace)
        StoreDetails(inList);
    ShowDetails();
    const QDate expiry = dpExpiry->date();
    if (!inList)
        ClearDetails();
    dpExpiry->setDate(expiry);
    if (!inList)
        noteDetailsShown(false); // the expiry kept for the next member is no typing
    UpdateStatusBar();
}

void TMelbrin::bClearClick()
{
    ClearDetails();
}

void TMelbrin::bDeleteClick()
{
    if (m_dsrc.QStaff.rowCount() > 0 && data::ConfirmDelete()) {
        m_dsrc.QStaff.remove();
        syncGrid();
        ShowDetails();
    }
    UpdateStatusBar();
}

void TMelbrin::bDelAllClick()
{
    data::Query& q = m_dsrc.QStaff;
    // Search results: only the members listed go, after a question that says so.
    if (q.rowCount() > 0 && (searching() ? confirmDeleteFound() : data::ConfirmDelete())) {
        // All of them go or none: a failure, or a member another station changed meanwhile,
        // leaves every one of them stored, and the list is read again.
        data::Connection& src = m_dsrc.src;
        src.beginTransaction();
        try {
            imaging::TPg progress(this, 0, q.rowCount());
            progress.show();
            struct Resync
            {
                TMelbrin* w;
                ~Resync() { w->syncGrid(); }
            } resync {this};
            q.first();
            while (!q.eof()) {
                q.remove();
                progress.Step();
            }
            src.commit();
        } catch (const data::RowConflict&) {
            src.rollback();
            throw;
        } catch (const std::exception&) {
            src.rollback();
            data::guarded([this] { refreshList(true); });
            throw;
        }
        ShowDetails();
    }
    UpdateStatusBar();
}

void TMelbrin::bPhotoClick()
{
    m_shown.photoChanged = true;
    imaging::LoadPictureDialog(this, *imgPhoto, 0, 0, photoFit());
}

void TMelbrin::bRotateClick()
{
    imaging::Picture picture = imaging::editablePicture(*imgPhoto);
    if (picture.isEmpty())
        return; // no photo to turn
    imaging::Rotate90(this, picture);
    imgPhoto->setPicture(std::move(picture));
    m_shown.photoChanged = true;
}

void TMelbrin::bpClearClick()
{
    imaging::ClearPicture(*imgPhoto);
    m_shown.photoChanged = true;
}

} // namespace app
