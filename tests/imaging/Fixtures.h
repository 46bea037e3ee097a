#pragma once

#include "imaging/Gauge.h"
#include "imaging/Picture.h"
#include "imaging/Progress.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

namespace fixtures {

// A progress that keeps the gauge's numbers and refusals, and records the calls.
class RecordingProgress final : public imaging::Progress
{
public:
    void setMin(int value) override { gauge.setMin(value); }
    void setMax(int value) override { gauge.setMax(value); }
    void show() override { ++shown; }
    void hide() override { }
    void step() override
    {
        gauge.step();
        ++steps;
    }

    imaging::Gauge gauge;
    int shown = 0;
    int steps = 0;
};

// A picture whose three channels all hold the given values, one inner list per row.
imaging::Picture grey(const std::vector<std::vector<int>>& rows);
// The blue channel of every pixel, one inner list per row.
std::vector<std::vector<int>> channel(const imaging::Picture& picture);
// Distinct colours everywhere, for checking where pixels go.
imaging::Picture pattern(int width, int height);
// A photo-like picture: smooth gradients with some noise.
imaging::Picture photo(int width, int height);

// An uncompressed BMP file image; bits 8 uses the palette, 24 writes the pixels directly.
QByteArray bitmap(const imaging::Picture& picture, int bits, const QList<QRgb>& palette = {});

void writeFile(const QString& path, const QByteArray& bytes);

} // namespace fixtures
