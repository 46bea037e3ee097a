#include "BindSlot.h"

#include "data/Query.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"

namespace cards {

void BindSlot(const CardOptions& options, report::LabelControl& caption,
              report::DataTextControl& value,
              const report::DataTextControl::PrintHandler& formatHandler, report::LineControl& line,
              const SlotChoice& slot, data::Query& fields)
{
    if (options.custom) {
        value.rect.left = report::Length::mm(options.position);
        value.font = options.font;
        value.fontColor = options.fontColor;
        line.penColor = options.fontColor;
        line.enabled = options.lines;
        QFont captionFont = options.font;
        captionFont.setPointSize(7);
        captionFont.setBold(true);
        captionFont.setItalic(false);
        captionFont.setUnderline(false);
        captionFont.setStrikeOut(false);
        caption.font = captionFont;
        caption.fontColor = options.fontColor;
        caption.enabled = options.captions;
    }
    caption.caption = slot.caption;

    if (slot.fieldIndex < 1) {
        value.column.clear();
        line.enabled = false;
        return;
    }
    // A slot whose index matches no row takes the column of the row that is current.
    fields.locate(QStringLiteral("seq"), slot.fieldIndex);
    value.column = fields.asString(QStringLiteral("fname"));
    if (value.column == u"datejoin" || value.column == u"expiry")
        value.printHandler = formatHandler;
}

} // namespace cards
