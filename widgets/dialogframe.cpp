#include "widgets/dialogframe.h"

#include "core/globals.h"
#include "widgets/splitline.h"

#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QRegularExpression>
#include <QVBoxLayout>

const char* const kDialogSheet =
    "BMessageBox{border-width:1px;border-style:solid;border-color:#656263;background-color:#ffffff;}"
    "QLabel{font-size:30px;color:#656263;}"
    "QPushButton{background-color:#d3d3d3;border-style:none;color:#656263;font-size:22px;}"
    "QPushButton:pressed{color:#656263;background-color:#83636e;}";

namespace {
constexpr int kBoxWidth = 680;
constexpr int kBoxHeight = 250;
constexpr int kTitlePixels = 30;   // the sheet's label size
constexpr int kSmallestTitlePixels = 14;

// Titles wrap between words; a word wider than the column would be cut off.
void fitTitle(QLabel* title, int width)
{
    const QStringList words = title->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QFont font = title->font();
    for (int px = kTitlePixels; px >= kSmallestTitlePixels; --px) {
        font.setPixelSize(px);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& w : words)
            widest = qMax(widest, metrics.horizontalAdvance(w));
        if (widest <= width || px == kSmallestTitlePixels) {
            if (px < kTitlePixels)
                title->setStyleSheet(QStringLiteral("font-size:%1px;").arg(px));
            return;
        }
    }
}
}  // namespace

QRect DialogBoxGeometry(QWidget* box)
{
    int height = kBoxHeight;
    if (box && box->layout() && box->layout()->hasHeightForWidth())
        height = qMax(height, box->layout()->totalHeightForWidth(kBoxWidth));
    return QRect(gShowW / 2 - kBoxWidth / 2, gShowH / 2 - height / 2, kBoxWidth, height);
}

QVBoxLayout* BuildDialogFrame(QDialog* box, QLabel* title, int titleWidth)
{
    box->setStyleSheet(QLatin1String(kDialogSheet));
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    title->setFixedWidth(titleWidth);
    fitTitle(title, titleWidth);

    auto* titleColumn = new QVBoxLayout;
    titleColumn->addSpacing(12);
    titleColumn->addWidget(title);
    titleColumn->addStretch();

    auto* right = new QVBoxLayout;
    auto* outer = new QHBoxLayout(box);
    outer->setContentsMargins(16, 16, 16, 16);
    outer->setSpacing(16);
    outer->addLayout(titleColumn);
    outer->addWidget(createVerticalSplitLine(box, QStringLiteral("#656263")));
    outer->addLayout(right, 1);
    return right;
}

QLabel* IconLabel(QWidget* parent, const QString& path, int size)
{
    auto* icon = new QLabel(parent);
    icon->setFixedSize(size, size);
    const QPixmap picture(path);
    if (!picture.isNull())
        icon->setPixmap(picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return icon;
}

QHBoxLayout* IconTextRow(QLabel* icon, QLabel* text)
{
    text->setWordWrap(true);
    auto* textColumn = new QVBoxLayout;
    textColumn->addSpacing(12);
    textColumn->addWidget(text);
    textColumn->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(textColumn);
    return row;
}

QHBoxLayout* ButtonRow(QPushButton* first, QPushButton* second)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(30, 30, 30, 30);
    row->setSpacing(30);
    for (QPushButton* b : {first, second}) {
        b->setFixedHeight(kDialogButtonHeight);
        row->addWidget(b);
    }
    return row;
}
