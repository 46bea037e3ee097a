#include "LayoutCommand.h"

#include "TFmLayout.h"

#include <memory>

namespace cards {

void actLayoutExecute(QWidget* owner, data::Tdsrc& dsrc)
{
    const auto dialog = std::make_unique<TFmLayout>(dsrc, owner);
    while (dialog->exec() == QDialog::Accepted) { }
}

} // namespace cards
