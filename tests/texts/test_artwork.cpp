// The pictures: every picture of the manifest is built at its size, the names
// the screens load are all there, and the shared pixmaps are created.

#include "core/texttable.h"
#include "tests/common/testsupport.h"

#include <QFile>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

struct Picture {
    QString name;  // "icons/..." or "images/..."
    QSize size;
};

QList<Picture> manifest()
{
    QList<Picture> pictures;
    QFile file(SourceDir() + QStringLiteral("/resources/manifest.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return pictures;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    const QRegularExpression line(QStringLiteral("^(\\S+)\\s+(\\d+)x(\\d+)\\s"));
    while (!in.atEnd()) {
        const auto m = line.match(in.readLine());
        if (m.hasMatch())
            pictures.append({m.captured(1), QSize(m.captured(2).toInt(), m.captured(3).toInt())});
    }
    return pictures;
}

QString pathOf(const QString& name)
{
    if (name.startsWith(QLatin1String("images/")))
        return BuildDir() + QStringLiteral("/installfiles/") + name;
    return QStringLiteral(":/img/") + name;
}

TEST(Artwork, EveryListedPictureIsBuiltAtItsSize)
{
    Data_Init();
    const QList<Picture> pictures = manifest();
    ASSERT_GT(pictures.size(), 100);
    for (const Picture& p : pictures) {
        const QPixmap pixmap(pathOf(p.name));
        EXPECT_FALSE(pixmap.isNull()) << p.name.toStdString();
        EXPECT_EQ(pixmap.size(), p.size) << p.name.toStdString();
    }
}

// Pictures the screens load by name (fixed names, and the numbered families:
// lamps 18 to 33, camera choices 59 to 73, camera positions 1 to 8).
TEST(Artwork, EveryPictureTheScreensNameExists)
{
    Data_Init();
    QStringList names = {
        "圆1", "54", "55", "70", "71", "2a", "2", "3-1", "slideru", "sliderd", "slidert",
        "buttonu", "buttond", "close", "56", "warning", "password", "left", "right", "0logo",
        "72", "68", "69", "73", "ZoomIn", "ZoomOut", "ZoomAll", "MoveUp", "MoveRight",
        "MoveDown", "MoveLeft", "stop", "5", "107", "108", "106", "38", "110", "104", "105",
        "39a", "99", "98", "97", "96", "100", "101", "102", "43", "44", "45", "46", "split",
        "setting", "sampling", "39", "40", "15", "warning2", "17a", "layer", "costTime",
        "location", "camera", "6", "7", "3c", "49", "50", "51", "52", "53", "48", "60", "62",
        "64", "66", "57-1", "57", "58", "67", "4a"};
    for (int n = 18; n <= 33; ++n)
        names << QString::number(n);
    for (int camera = 1; camera <= 8; ++camera) {
        names << QString::number(2 * camera + 57);
        names << QStringLiteral("camNum%1").arg(camera);
    }
    for (const QString& name : names)
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/img/icons/%1.png").arg(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(BuildDir() + QStringLiteral("/installfiles/images/edit.png")));
}

TEST(Artwork, SharedPixmapsAreCreatedFromTheResourceTree)
{
    TempWorkDir work;
    Data_Init();
    const QPixmap* const shared[] = {gpPixmapLogo, gpPixmapBG, gpPixmapSlideru, gpPixmapSliderd,
                                     gpPixmapSlidert, gpPixmapButton[0], gpPixmapButton[1],
                                     gpPixmapOUT[0], gpPixmapOUT[1]};
    for (const QPixmap* pixmap : shared) {
        ASSERT_NE(pixmap, nullptr);
        EXPECT_FALSE(pixmap->isNull());
    }
    ASSERT_NE(gpPixmapEdit, nullptr);  // from ./images: empty where the file is missing
}

}  // namespace
