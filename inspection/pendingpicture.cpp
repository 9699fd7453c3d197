#include "inspection/pendingpicture.h"

#include <cstring>

// Non-grey pixels come as runs along the rows: start (pixel index) and
// length, their colours (R, G, B) one after the other in colours.
struct PendingPicture::Kept {
    struct Run {
        uint32_t start = 0;
        uint32_t length = 0;
    };
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;
    std::vector<Run> runs;
    std::vector<uint8_t> colours;
    QImage colourPicture;   // the picture as it is, when mostly colour
};

namespace {

// Beyond this share of non-grey pixels the picture is kept as it is.
constexpr int kColourShareLimit = 4;   // one pixel in four

// Non-zero unless r = g = b.
QRgb Colourfulness(QRgb p)
{
    return (p ^ (p >> 8)) & 0xffff;
}

// The blue bytes of a row into grey; whether every pixel of it is grey.
bool GreyRow(const QRgb* row, uint8_t* grey, int width)
{
    QRgb differ = 0;
    for (int x = 0; x < width; ++x) {
        const QRgb p = row[x];
        grey[x] = uint8_t(p);
        differ |= Colourfulness(p);
    }
    return differ == 0;
}

}  // namespace

PendingPicture::PendingPicture(const QImage& picture)
{
    if (picture.isNull())
        return;
    const QImage source = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    auto k = std::make_shared<Kept>();
    k->width = source.width();
    k->height = source.height();
    const size_t pixels = size_t(k->width) * size_t(k->height);
    k->grey.resize(pixels);
    const size_t colourLimit = pixels / kColourShareLimit;
    for (int y = 0; y < k->height && k->colours.size() / 3 <= colourLimit; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uint8_t* grey = k->grey.data() + size_t(y) * size_t(k->width);
        if (GreyRow(row, grey, k->width))
            continue;
        const uint32_t rowStart = uint32_t(size_t(y) * size_t(k->width));
        bool inRun = false;
        for (int x = 0; x < k->width; ++x) {
            const QRgb p = row[x];
            if (!Colourfulness(p)) {
                inRun = false;
                continue;
            }
            grey[x] = 0;
            if (!inRun)
                k->runs.push_back({rowStart + uint32_t(x), 0});
            inRun = true;
            ++k->runs.back().length;
            k->colours.insert(k->colours.end(), {uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))});
        }
    }
    if (k->colours.size() / 3 > colourLimit) {
        k->grey = {};
        k->runs = {};
        k->colours = {};
        k->colourPicture = source.convertToFormat(QImage::Format_RGB888);
    } else {
        k->grey.shrink_to_fit();
        k->runs.shrink_to_fit();
        k->colours.shrink_to_fit();
    }
    kept = std::move(k);
}

QImage PendingPicture::picture() const
{
    QImage out;
    pictureInto(out);
    return out;
}

void PendingPicture::pictureInto(QImage& out) const
{
    if (!kept) {
        out = QImage();
        return;
    }
    if (!kept->colourPicture.isNull()) {
        out = kept->colourPicture;
        return;
    }
    if (out.width() != kept->width || out.height() != kept->height || out.format() != QImage::Format_RGB888)
        out = QImage(kept->width, kept->height, QImage::Format_RGB888);
    // Rows of a QImage may be padded: run starts are pixel indices.
    for (int y = 0; y < kept->height; ++y) {
        const uint8_t* grey = kept->grey.data() + size_t(y) * size_t(kept->width);
        uint8_t* row = out.scanLine(y);
        for (int x = 0; x < kept->width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey[x];
    }
    const uint8_t* colour = kept->colours.data();
    for (const Kept::Run& run : kept->runs) {
        const int y = int(run.start / uint32_t(kept->width)), x = int(run.start % uint32_t(kept->width));
        std::memcpy(out.scanLine(y) + 3 * x, colour, 3 * size_t(run.length));
        colour += 3 * size_t(run.length);
    }
}

size_t PendingPicture::bytes() const
{
    if (!kept)
        return 0;
    return kept->grey.capacity() + kept->runs.capacity() * sizeof(Kept::Run) + kept->colours.capacity()
           + size_t(kept->colourPicture.sizeInBytes());
}
