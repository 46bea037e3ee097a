#pragma once

class QWidget;

namespace data {
class Tdsrc;
}

namespace cards {

// The "Check List" command: the check list of all members in the print preview; returns when
// the preview has been closed.
void actCheckListExecute(QWidget* owner, data::Tdsrc& dsrc);

} // namespace cards
