#include "core/texttable.h"

#include "core/texttabledata.h"
#include "resources/artwork.h"

#include <QFont>
#include <QGuiApplication>
#include <QPixmap>
#include <QStringList>

QString gaLanStr[kTextCount][kLanCount];
int gLan = 0;

QPixmap* gpPixmapLogo = nullptr;
QPixmap* gpPixmapBG = nullptr;
QPixmap* gpPixmapEdit = nullptr;
QPixmap* gpPixmapSlideru = nullptr;
QPixmap* gpPixmapSliderd = nullptr;
QPixmap* gpPixmapSlidert = nullptr;
QPixmap* gpPixmapButton[2] = {};
QPixmap* gpPixmapOUT[2] = {};

const char* const kFontMicroHei = "wqy-microhei";
const char* const kFontWenQuanYi = "wenquanyi";

namespace {

// The Chinese fonts the program is installed with, in order of preference.
const QStringList& wqyFamilies()
{
    static const QStringList families{QStringLiteral("WenQuanYi Micro Hei"),
                                      QStringLiteral("WenQuanYi Zen Hei")};
    return families;
}

void fillTexts()
{
    for (int i = 0; i < kTextEntryCount; ++i) {
        const TextEntry& e = kTextEntries[i];
        gaLanStr[e.k][0] = QString::fromUtf8(e.zh);
        gaLanStr[e.k][1] = QString::fromUtf8(e.en);
        gaLanStr[e.k][2] = QString::fromUtf8(e.tw);
    }
}

// The widgets ask for "wqy-microhei" and "wenquanyi", names no font carries:
// map them to the installed WenQuanYi families, and make the same font the
// application's default so that every text can show Chinese.
void installFonts()
{
    QFont::insertSubstitutions(QLatin1String(kFontMicroHei), wqyFamilies());
    QFont::insertSubstitutions(QLatin1String(kFontWenQuanYi), wqyFamilies());
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QFont font = QGuiApplication::font();
    font.setFamilies(wqyFamilies());
    QGuiApplication::setFont(font);
}

QPixmap* loadPixmap(const char* path)
{
    return new QPixmap(QString::fromUtf8(path));
}

void createPixmaps()
{
    if (gpPixmapLogo)
        return;
    InitArtwork();
    gpPixmapLogo = loadPixmap(":/img/icons/2.png");
    gpPixmapBG = loadPixmap(":/img/icons/3-1.png");
    gpPixmapEdit = loadPixmap("./images/edit.png");
    gpPixmapSlideru = loadPixmap(":/img/icons/slideru.png");
    gpPixmapSliderd = loadPixmap(":/img/icons/sliderd.png");
    gpPixmapSlidert = loadPixmap(":/img/icons/slidert.png");
    gpPixmapButton[0] = loadPixmap(":/img/icons/buttonu.png");
    gpPixmapButton[1] = loadPixmap(":/img/icons/buttond.png");
    gpPixmapOUT[0] = loadPixmap(":/img/icons/19.png");
    gpPixmapOUT[1] = loadPixmap(":/img/icons/18.png");
}

}  // namespace

void Data_Init()
{
    fillTexts();
    installFonts();
    createPixmaps();
}

QString LanStr(int k, int lan)
{
    if (k < 0 || k >= kTextCount || lan < 0 || lan >= kLanCount)
        return QString();
    return gaLanStr[k][lan];
}

QString LanStr(int k)
{
    return LanStr(k, gLan);
}
