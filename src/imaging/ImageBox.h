#pragma once

#include "Picture.h"

#include <QWidget>

namespace imaging {

// An image control: holds one Picture and shows it stretched to the whole control (the
// aspect is not kept). Its hint is shown as a tooltip only once it has been enabled.
class ImageBox : public QWidget
{
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    const Picture& picture() const { return m_picture; }
    void setPicture(Picture picture);

    bool hintEnabled() const { return m_hintEnabled; }
    void setHintEnabled(bool enabled) { m_hintEnabled = enabled; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
    bool m_hintEnabled = false;
};

} // namespace imaging
