#include "screen/viewtemplates.h"

#include <QImage>

#include <cstring>

QString TemplateFile(int camera, int step, int slot)
{
    return QStringLiteral("./cammer%1%2/template%3.bmp").arg(camera + 1).arg(step + 1).arg(slot);
}

bool ReadTemplatePicture(const QString& file, int width, int height, bool colour, uint8_t* buffer)
{
    QImage picture;
    if (!picture.load(file, "BMP"))
        return false;
    const int depth = colour ? 32 : 8;
    if (picture.width() != width || picture.height() != height || picture.depth() != depth)
        return false;
    const size_t row = size_t(width) * size_t(depth / 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(buffer + size_t(y) * row, picture.constScanLine(y), row);
    return true;
}

void FillCentreTemplate(uint8_t* buffer, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const bool rowIn = y >= height / 4 && y <= 3 * height / 4;
        uint8_t* line = buffer + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            line[x] = rowIn && x >= width / 4 && x <= 3 * width / 4 ? 255 : 0;
    }
}
