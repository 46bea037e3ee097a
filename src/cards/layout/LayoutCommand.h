#pragma once

class QWidget;

namespace data {
class Tdsrc;
}

namespace cards {

// The "Card Layout" command: creates the layout dialog owned by owner and shows it modally,
// again after every preview (which closes it with OK) with its controls as they were. "Exit"
// or the close box ends the command and frees the dialog with its unsaved changes. Settings
// that cannot be loaded raise data::Error before anything is shown.
void actLayoutExecute(QWidget* owner, data::Tdsrc& dsrc);

} // namespace cards
