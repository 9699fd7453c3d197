// The font family names the widgets ask for resolve to the installed Chinese
// fonts, and the default font shows Chinese.

#include "core/texttable.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

const char32_t kChineseSample[] = {U'相', U'機', U'模', U'检'};

void expectShowsChinese(const QFont& font, const char* what)
{
    EXPECT_TRUE(QFontInfo(font).family().startsWith(QLatin1String("WenQuanYi")))
        << what << " resolved to " << QFontInfo(font).family().toStdString();
    const QFontMetrics metrics(font);
    for (char32_t c : kChineseSample)
        EXPECT_TRUE(metrics.inFontUcs4(c)) << what << " lacks U+" << std::hex << unsigned(c);
}

TEST(Fonts, WidgetFamilyNamesResolveToWenQuanYi)
{
    Data_Init();
    expectShowsChinese(QFont(QLatin1String(kFontMicroHei)), kFontMicroHei);
    expectShowsChinese(QFont(QLatin1String(kFontWenQuanYi)), kFontWenQuanYi);
}

TEST(Fonts, DefaultFontShowsChinese)
{
    Data_Init();
    expectShowsChinese(QGuiApplication::font(), "default font");
}

}  // namespace
