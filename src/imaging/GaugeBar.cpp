#include "GaugeBar.h"

#include <QPainter>

namespace imaging {

GaugeBar::GaugeBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("bar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GaugeBar::changed(int percentBefore)
{
    if (m_gauge.percent() != percentBefore)
        update();
}

void GaugeBar::setMin(int value)
{
    const int before = m_gauge.percent();
    m_gauge.setMin(value);
    changed(before);
}

void GaugeBar::setMax(int value)
{
    const int before = m_gauge.percent();
    m_gauge.setMax(value);
    changed(before);
}

void GaugeBar::setPosition(int value)
{
    const int before = m_gauge.percent();
    m_gauge.setPosition(value);
    changed(before);
}

void GaugeBar::step()
{
    m_gauge.step();
    repaint();
}

void GaugeBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const int filledWidth = inner.width() * m_gauge.percent() / 100;
    const QRect filled(inner.left(), inner.top(), filledWidth, inner.height());
    const QRect empty(inner.left() + filledWidth, inner.top(), inner.width() - filledWidth,
                      inner.height());
    const QString text = QString::number(m_gauge.percent()) + u'%';

    painter.setPen(Qt::black);
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
    painter.fillRect(empty, Qt::white);
    painter.fillRect(filled, Qt::black);
    painter.setClipRect(empty);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.setClipRect(filled);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text);
}

} // namespace imaging
