#pragma once

#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QByteArray>
#include <QRandomGenerator>

// A stored photo of about 50 KB: noise compresses badly, so a small picture makes it.
inline QByteArray noisePhoto()
{
    imaging::Picture p(200, 260);
    QRandomGenerator rng(7);
    for (int y = 0; y < p.height(); ++y) {
        uchar* row = p.row(y);
        for (int x = 0; x < p.width() * 3; ++x)
            row[x] = uchar(rng.bounded(256));
    }
    return imaging::encodeJpeg(p);
}
