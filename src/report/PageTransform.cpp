#include "PageTransform.h"

#include <QTransform>
#include <type_traits>

namespace report {
namespace {

template<typename> constexpr bool unhandled = false;

class Transform
{
public:
    Transform(double factor, Length dx, Length dy)
        : m_factor(factor)
        , m_dx(dx)
        , m_dy(dy)
    { }

    template<typename Item> void operator()(Item& item) const
    {
        if constexpr (std::is_same_v<Item, FillItem> || std::is_same_v<Item, ImageItem>) {
            item.rect = rect(item.rect);
        } else if constexpr (std::is_same_v<Item, FrameItem>) {
            item.rect = rect(item.rect);
            item.frame.width = size(item.frame.width);
        } else if constexpr (std::is_same_v<Item, LineItem>) {
            item.x1 = x(item.x1);
            item.y1 = y(item.y1);
            item.x2 = x(item.x2);
            item.y2 = y(item.y2);
            item.width = size(item.width);
        } else if constexpr (std::is_same_v<Item, TextItem>) {
            item.left = x(item.left);
            item.top = y(item.top);
            item.width = size(item.width);
            item.height = size(item.height);
            if (item.font.pixelSize() > 0)
                item.font.setPixelSize(std::max(1, qRound(item.font.pixelSize() * m_factor)));
            else
                item.font.setPointSizeF(item.font.pointSizeF() * m_factor);
            if (item.clip)
                item.clip = rect(*item.clip);
        } else if constexpr (std::is_same_v<Item, ShapeItem>) {
            // The path is in micrometres.
            QTransform matrix;
            matrix.translate(m_dx.toMm() * 1000, m_dy.toMm() * 1000);
            matrix.scale(m_factor, m_factor);
            item.path = matrix.map(item.path);
        } else {
            static_assert(unhandled<Item>, "every kind of page item must be transformed");
        }
    }

private:
    Length size(Length value) const { return Length::mm(value.toMm() * m_factor); }
    Length x(Length value) const { return size(value) + m_dx; }
    Length y(Length value) const { return size(value) + m_dy; }
    LengthRect rect(const LengthRect& r) const
    {
        return {x(r.left), y(r.top), size(r.width), size(r.height)};
    }

    double m_factor;
    Length m_dx;
    Length m_dy;
};

} // namespace

void transformItems(std::vector<PageItem>& items, double factor, Length dx, Length dy)
{
    const Transform transform(factor, dx, dy);
    for (PageItem& item : items)
        std::visit(transform, item);
}

} // namespace report
