#pragma once

#include "Picture.h"

#include <QByteArray>
#include <QWidget>
#include <optional>

namespace imaging {

// An image control: holds one Picture and shows it stretched to the whole control (the
// aspect is not kept); an empty picture (no picture) shows white. Its hint is shown as a tooltip
// only once it has been enabled.
class ImageBox : public QWidget
{
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    const Picture& picture() const { return m_picture; }
    // A picture of the user's making: forgets the stored picture, if it showed one.
    void setPicture(Picture picture);

    // A picture as it is stored: the bytes read, and what the box shows of them (decoded,
    // perhaps at a reduced size, or the blank picture when decoded is false). readable is
    // false when the column's value could not even be read as bytes.
    struct Stored
    {
        QByteArray bytes;
        bool decoded = false;
        bool readable = true;
    };
    void showStored(Picture shown, Stored stored);
    // Set while the box shows a stored picture unchanged.
    const std::optional<Stored>& stored() const { return m_stored; }

    bool hintEnabled() const { return m_hintEnabled; }
    void setHintEnabled(bool enabled) { m_hintEnabled = enabled; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
    std::optional<Stored> m_stored;
    bool m_hintEnabled = false;
};

} // namespace imaging
