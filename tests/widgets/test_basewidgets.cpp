// Widget base, buttons, combo boxes, separator lines, check box, style helpers
// and the splash screen.

#include "tests/widgets/widgetfixture.h"

#include "widgets/boptionbutton.h"
#include "widgets/bsplashscreen.h"
#include "widgets/bwidget.h"
#include "widgets/checkbox.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"
#include "widgets/ctypecom.h"
#include "widgets/skin.h"
#include "widgets/splitline.h"
#include "core/texttable.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QTest>
#include <QVBoxLayout>

namespace {
class PlainWidget : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

QColor centreColour(QWidget* w)
{
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}
}  // namespace

using BaseWidgets = WidgetTest;

TEST_F(BaseWidgets, OnlyTheBaseWidgetPaintsItsSheetBackground)
{
    QWidget red;
    red.setAutoFillBackground(true);
    QPalette p = red.palette();
    p.setColor(QPalette::Window, Qt::red);
    red.setPalette(p);
    red.resize(200, 100);
    auto* based = new BWidget(&red);
    auto* plain = new PlainWidget(&red);
    for (QWidget* w : {static_cast<QWidget*>(based), static_cast<QWidget*>(plain)}) {
        w->setStyleSheet(QStringLiteral("background-color:#ffffff;"));
        w->resize(100, 100);
    }
    plain->move(100, 0);
    const QImage image = red.grab().toImage();
    EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(150, 50), QColor(Qt::red));
}

TEST_F(BaseWidgets, ColorButtonCaptionSizeFollowsSizeTypeAndLanguage)
{
    struct Row {
        int sizeType, lan, px;
    };
    const Row rows[] = {{3, 0, 27}, {3, 1, 22}, {3, 2, 22}, {4, 0, 24}, {4, 1, 24}, {5, 2, 24}, {1, 0, 0}, {0, 1, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(ColorButtonPixelSize(r.sizeType, r.lan), r.px) << r.sizeType << "/" << r.lan;
}

TEST_F(BaseWidgets, ColorButtonCaptionIsTallerInSimplifiedChinese)
{
    ColorButton button(QStringLiteral("8"), nullptr, 3);
    button.resize(100, 60);
    const auto inkHeight = [&] {
        const QImage image = button.grab().toImage();
        int top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                    top = qMin(top, y);
                    bottom = qMax(bottom, y);
                }
        return bottom - top;  // white ink only: the button's own picture is not white
    };
    gLan = 0;
    const int chinese = inkHeight();
    gLan = 1;
    const int english = inkHeight();
    EXPECT_GT(chinese, english);
}

TEST_F(BaseWidgets, ColorButtonShowsThePressedSkinWhileDown)
{
    if (SkinPixmap(Skin::ButtonUp).isNull() || SkinPixmap(Skin::ButtonDown).isNull())
        GTEST_SKIP() << "button artwork not in the resources yet";
    ColorButton button(QString(), nullptr, 3);
    button.resize(80, 60);
    const QColor up = centreColour(&button);
    button.setDown(true);
    EXPECT_NE(centreColour(&button), up);
}

TEST_F(BaseWidgets, ColorButtonRepeatsAfter300msThenEvery50ms)
{
    ColorButton button(QStringLiteral("+ 1"), nullptr, 3);
    EXPECT_FALSE(button.autoRepeat());
    button.SetRepeat();
    EXPECT_TRUE(button.autoRepeat());
    EXPECT_EQ(button.autoRepeatDelay(), 300);
    EXPECT_EQ(button.autoRepeatInterval(), 50);
}

TEST_F(BaseWidgets, ComboBoxReportsATouchBeforeItsPopupAndNeverTakesTheFocus)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* combo = new ComboBox(&window);
    combo->addItem(QStringLiteral("a"));
    layout->addWidget(edit);
    layout->addWidget(combo);
    ShowActive(&window);
    edit->setFocus();
    ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }, 2000));

    int clicks = 0;
    bool popupOpenAtClick = true;
    QObject::connect(combo, &ComboBox::clicked, [&] {
        ++clicks;
        popupOpenAtClick = combo->view()->isVisible();
        combo->addItem(QStringLiteral("refilled"));
    });
    QTest::mousePress(combo, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(popupOpenAtClick);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.focusWidget(), edit);
    combo->hidePopup();
    EXPECT_TRUE(WaitFor([&] { return edit->hasFocus(); }, 2000));
}

TEST_F(BaseWidgets, ComboBoxItemHeightReplacesTheWholeSheet)
{
    ComboBox combo;
    combo.setStyleSheet(QStringLiteral("QComboBox{color:red;}"));
    combo.setItemHeight(80);
    EXPECT_EQ(combo.styleSheet(),
              QStringLiteral("QComboBox QAbstractItemView::item{height:80px;}QComboBox::tab-bar{border-width:0px;}"));
    BComboBox plain;
    EXPECT_NE(qobject_cast<QListView*>(plain.view()), nullptr);
}

TEST_F(BaseWidgets, OptionButtonIsIconOverTextAt175By112)
{
    BOptionButton button;
    EXPECT_EQ(button.size(), QSize(175, 112));
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST_F(BaseWidgets, SplitLinesAreOnePixelInTheirColour)
{
    QWidget parent;
    QWidget* v = createVerticalSplitLine(&parent, QStringLiteral("#656263"));
    QWidget* h = createHorizontalSplitLine(&parent, QStringLiteral("#d3d3d3"));
    EXPECT_EQ(v->parentWidget(), &parent);
    EXPECT_EQ(v->minimumWidth(), 1);
    EXPECT_EQ(v->maximumWidth(), 1);
    EXPECT_EQ(h->maximumHeight(), 1);
    EXPECT_EQ(v->styleSheet(), QStringLiteral("background-color:#656263"));
    EXPECT_EQ(h->styleSheet(), QStringLiteral("background-color:#d3d3d3"));
}

TEST_F(BaseWidgets, CheckBoxValueIsOneOnlyWhenTicked)
{
    CheckBox box(nullptr, QStringLiteral("Alarm"));
    box.setValue(5);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(box.value(), 1);
    box.setValue(0);
    EXPECT_EQ(box.value(), 0);
    box.setTristate(true);
    box.setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(box.value(), 0);
    EXPECT_EQ(box.palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::yellow));
    EXPECT_EQ(box.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(Qt::yellow));
    EXPECT_EQ(box.font().family(), QStringLiteral("wqy-microhei"));
    EXPECT_EQ(box.font().pixelSize(), 16);
}

TEST_F(BaseWidgets, LineEditStyleByColourScheme)
{
    const char* const focus[] = {"#34495E", "#1ABC9C", "#3498DB", "#E74C3C"};
    for (int c = 0; c < 4; ++c) {
        QLineEdit edit;
        C_Type_COM::setTxtQss(&edit, C_Type_COM::C_Color(c));
        EXPECT_EQ(edit.styleSheet(),
                  QStringLiteral("QLineEdit{border-style:none;padding:1px;border-radius:5px;border:2px solid #DCE4EC;}"
                                 "QLineEdit:focus{border:2px solid %1;}")
                      .arg(QLatin1String(focus[c])));
    }
    QLineEdit untouched;
    untouched.setStyleSheet(QStringLiteral("color:red;"));
    C_Type_COM::setTxtQss(&untouched, C_Type_COM::C_Color(4));
    EXPECT_EQ(untouched.styleSheet(), QStringLiteral("color:red;"));
}

TEST_F(BaseWidgets, ButtonStyleTakesNoFocus)
{
    QPushButton button;
    C_Type_COM::setBtnQss(&button, C_Type_COM::C_BLUE);
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(button.styleSheet(),
              QStringLiteral("QPushButton{border-style:none;padding:3px;border-radius:5px;color:#FFFFFF;background:#3498DB;}"
                             "QPushButton:hover{color:#E5FEFF;background:#5DACE4;}"
                             "QPushButton:pressed{color:#A0DAFB;background:#2483C7;}"));
}

TEST_F(BaseWidgets, SplashScreenFillsTheScreenWithTheProductTexts)
{
    BSplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(1920, 1080));
    QStringList texts;
    for (QLabel* l : splash.findChildren<QLabel*>())
        if (!l->text().isEmpty())
            texts << l->text();
    EXPECT_EQ(texts, QStringList({QStringLiteral("模内监控器"), QStringLiteral("TMX-700"),
                                  QStringLiteral("SN48KD902C7716"), QStringLiteral("16.0.1.6")}));
}

#include "test_basewidgets.moc"
