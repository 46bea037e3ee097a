#pragma once

#include "cards/CardOptions.h"

#include <QVariant>

class QWidget;

namespace data {
class Query;
class Tdsrc;
} // namespace data

namespace cards {

// The layout dialog's "Preview": cards for all staff, in the order the database returns them,
// with the options as they stand in the dialog. QList is open only while the preview runs.
void previewAllStaff(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                     data::Query& fields);

// Cards for the members whose card data changed since their card was last printed, across
// groups. On a file without the change times nobody is listed.
void previewChangedStaff(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                         data::Query& fields);

// The main window's "Preview": cards for every member named like QStaff's current member,
// whatever the group, with the stored options. The name is bound as a parameter, so any name
// previews. With no member in QStaff nobody is selected and one empty card prints. QList is
// open only while the preview runs.
void previewSelectedMember(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& storedOptions,
                           data::Query& fields);

// Cards for every member of that name (bound as a parameter; Null selects nobody).
void previewMemberNamed(QWidget* owner, data::Tdsrc& dsrc, const CardOptions& options,
                        data::Query& fields, const QVariant& name);

} // namespace cards
