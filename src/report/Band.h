#pragma once

#include "report/Control.h"
#include "report/Frame.h"

#include <QColor>
#include <functional>
#include <memory>
#include <vector>

namespace report {

// A band: a rectangle printed once per row, filled with its colour, its controls drawn in the
// order they were added, then its frame. A child band prints after each printing of it.
class Band
{
public:
    // Runs before the band finds its place; clearing the flag skips the band (and its child).
    using BeforePrint = std::function<void(Band& band, bool& print)>;

    Band(Length width, Length height)
        : width(width)
        , height(height)
    { }

    template<typename T, typename... Args> T& add(Args&&... args)
    {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *control;
        m_controls.push_back(std::move(control));
        return result;
    }
    const std::vector<std::unique_ptr<Control>>& controls() const { return m_controls; }

    Band& setChild(Length width, Length height)
    {
        m_child = std::make_unique<Band>(width, height);
        return *m_child;
    }
    Band* child() const { return m_child.get(); }

    Length width;
    Length height;
    // An invalid or fully transparent colour fills nothing.
    QColor color = Qt::white;
    Frame frame;
    BeforePrint beforePrint;

private:
    std::vector<std::unique_ptr<Control>> m_controls;
    std::unique_ptr<Band> m_child;
};

} // namespace report
