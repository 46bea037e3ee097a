#include "ImageBox.h"

#include <QEvent>
#include <QPainter>

namespace imaging {

ImageBox::ImageBox(QWidget* parent)
    : QWidget(parent)
{ }

void ImageBox::setPicture(Picture picture)
{
    m_picture = std::move(picture);
    m_stored.reset();
    update();
}

void ImageBox::showStored(Picture shown, Stored stored)
{
    m_picture = std::move(shown);
    m_stored = std::move(stored);
    update();
}

bool ImageBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !m_hintEnabled) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void ImageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isEmpty()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture.image());
}

} // namespace imaging
