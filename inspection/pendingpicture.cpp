#include "inspection/pendingpicture.h"

#include <algorithm>
#include <cstring>

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

// The grey plane, row by row, as the step from the pixel before (the first
// pixel of a row: from the first of the row above) in four bits, two pixels
// a byte, a row starting on a byte: code 1..15 is a step of -7..7, code 0
// takes the next byte of escapes. Camera frames change by small steps from
// pixel to pixel, so the plane takes about half its size.
class GreyPacker
{
public:
    GreyPacker(int width, int height)
        : width(width), codes(RowBytes(width) * size_t(std::max(height, 0))), rowCodes(size_t(std::max(width, 0)))
    {
    }
    static size_t RowBytes(int width) { return (size_t(std::max(width, 0)) + 1) / 2; }
    static uint8_t Code(uint8_t p, uint8_t before)
    {
        const uint8_t t = uint8_t(p - before + 7);
        return t <= 14 ? uint8_t(t + 1) : 0;
    }

    void row(const uint8_t* grey)
    {
        if (width <= 0)
            return;
        rowCodes[0] = Code(grey[0], rowStart);
        rowStart = grey[0];
        for (int x = 1; x < width; ++x)
            rowCodes[x] = Code(grey[x], grey[x - 1]);
        for (int x = 0; x < width; ++x) {
            if (rowCodes[x] == 0)
                escapes.push_back(grey[x]);
        }
        uint8_t* out = codes.data() + RowBytes(width) * rows++;
        for (int x = 0; x + 1 < width; x += 2)
            out[x / 2] = uint8_t(rowCodes[x] | (rowCodes[x + 1] << 4));
        if (width % 2)
            out[width / 2] = rowCodes[width - 1];
    }

    const int width;
    std::vector<uint8_t> codes;
    std::vector<uint8_t> escapes;

private:
    std::vector<uint8_t> rowCodes;
    uint8_t rowStart = 0;
    size_t rows = 0;
};

}  // namespace

// The grey plane, a byte a pixel or packed (GreyPacker: codes and escapes);
// non-grey pixels as runs along the rows: start (pixel index) and length,
// their colours (R, G, B) one after the other in colours.
struct PendingPicture::Kept {
    struct Run {
        uint32_t start = 0;
        uint32_t length = 0;
    };
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;
    bool packed = false;   // grey packed into codes and escapes, or tried
    std::vector<uint8_t> codes;
    std::vector<uint8_t> escapes;
    std::vector<Run> runs;
    std::vector<uint8_t> colours;
    QImage colourPicture;   // the picture as it is, when mostly colour
};

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
    const size_t colourLimit = pixels / kColourShareLimit;
    k->grey.resize(pixels);
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
            grey[x] = x > 0 ? grey[x - 1] : 0;   // a small step; the colour goes over it
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
        k->runs.shrink_to_fit();
        k->colours.shrink_to_fit();
    }
    kept = std::move(k);
}

bool PendingPicture::packed() const
{
    return !kept || kept->packed || kept->grey.empty();
}

PendingPicture PendingPicture::Packed() const
{
    if (packed())
        return *this;
    auto k = std::make_shared<Kept>();
    k->width = kept->width;
    k->height = kept->height;
    GreyPacker packer(k->width, k->height);
    for (int y = 0; y < k->height; ++y)
        packer.row(kept->grey.data() + size_t(y) * size_t(k->width));
    if (packer.codes.size() + packer.escapes.size() < kept->grey.size()) {
        k->codes = std::move(packer.codes);
        k->escapes = std::move(packer.escapes);
        k->escapes.shrink_to_fit();
    } else {   // noise: kept a byte a pixel
        k->grey = kept->grey;
    }
    k->packed = true;
    k->runs = kept->runs;
    k->colours = kept->colours;
    PendingPicture out;
    out.kept = std::move(k);
    return out;
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
    if (!kept->grey.empty())
        greyInto(out);
    else
        unpackInto(out);
    // Rows of a QImage may be padded: run starts are pixel indices.
    const uint8_t* colour = kept->colours.data();
    for (const Kept::Run& run : kept->runs) {
        const int y = int(run.start / uint32_t(kept->width)), x = int(run.start % uint32_t(kept->width));
        std::memcpy(out.scanLine(y) + 3 * x, colour, 3 * size_t(run.length));
        colour += 3 * size_t(run.length);
    }
}

void PendingPicture::greyInto(QImage& out) const
{
    for (int y = 0; y < kept->height; ++y) {
        const uint8_t* grey = kept->grey.data() + size_t(y) * size_t(kept->width);
        uint8_t* row = out.scanLine(y);
        for (int x = 0; x < kept->width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey[x];
    }
}

void PendingPicture::unpackInto(QImage& out) const
{
    const uint8_t* escape = kept->escapes.data();
    uint8_t rowStart = 0;
    for (int y = 0; y < kept->height; ++y) {
        uint8_t* row = out.scanLine(y);
        const uint8_t* codes = kept->codes.data() + GreyPacker::RowBytes(kept->width) * size_t(y);
        uint8_t before = rowStart;
        for (int x = 0; x < kept->width; ++x) {
            const int c = (codes[x / 2] >> (4 * (x % 2))) & 0xf;
            const uint8_t p = c ? uint8_t(before + c - 8) : *escape++;
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = p;
            before = p;
        }
        rowStart = kept->width > 0 ? row[0] : rowStart;
    }
}

size_t PendingPicture::bytes() const
{
    if (!kept)
        return 0;
    return kept->grey.capacity() + kept->codes.capacity() + kept->escapes.capacity() + kept->runs.capacity() * sizeof(Kept::Run)
           + kept->colours.capacity() + size_t(kept->colourPicture.sizeInBytes());
}
