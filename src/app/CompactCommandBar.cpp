// Seven commands side by side must fit the command bar at the window's default width of 640
// pixels: the bar's buttons lose a little of the space around their captions.
#include "TMelbrin.h"

#include <QAction>
#include <QProxyStyle>
#include <QToolBar>

namespace app {
namespace {

class CompactToolBarStyle final : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_ToolBarItemSpacing)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_ToolButton)
            result.rwidth() -= 8;
        return result;
    }
};

} // namespace

void TMelbrin::compactCommandBar()
{
    auto* compact = new CompactToolBarStyle;
    compact->setParent(ActionToolBar1);
    ActionToolBar1->setStyle(compact);
    for (QAction* action : ActionToolBar1->actions()) {
        if (QWidget* button = ActionToolBar1->widgetForAction(action))
            button->setStyle(compact);
    }
}

} // namespace app
