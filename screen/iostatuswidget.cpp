#include "screen/iostatuswidget.h"

#include "core/controlport.h"
#include "core/globals.h"
#include "core/hostwindow.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/titlebar.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int kMultiDetection = 4;
constexpr int kLampInputs = 4;

// The lamps: inputs 0-3 as last exchanged in bits 0-3, logical outputs 0-3
// (lit = active) in bits 4-7.
int boardState(const ControlPort& io)
{
    int state = 0;
    for (int i = 0; i < kLampInputs; ++i)
        state |= (io.InputNow(i) ? 1 : 0) << i | (io.OutputOn(i) ? 1 : 0) << (i + 4);
    return state;
}
}  // namespace

IOStripLayout StripLayout(int machineType, const int (&trigInput)[8], int height)
{
    IOStripLayout layout;
    if (machineType == kMultiDetection) {
        for (int input : trigInput)   // inputs 4..9 have no lamp
            if (input >= 0 && input < kLampInputs)
                layout.inputLamp[input] = true;
    } else {
        std::fill(std::begin(layout.inputLamp), std::end(layout.inputLamp), true);
    }
    // Each input lamp slot advances the picture's place: input 1 to 82,
    // inputs 2 and 3 by 75 each.
    int x = 7;
    for (int i = 1; i < kLampInputs; ++i)
        if (layout.inputLamp[i])
            x = i == 1 ? 82 : x + 75;
    const int xo = machineType == kMultiDetection ? 7 : x + 90;
    layout.alarmPicture = QRect(xo + 150, height - 85, 70, 80);
    return layout;
}

IOStatusWidget::IOStatusWidget(QWidget* parent)
    : QWidget(parent)
{
    setGeometry(0, gShowH - kHeight, gShowW, kHeight);
}

void IOStatusWidget::refresh()
{
    if (gpWPara) {
        // Only the alarm picture takes touches; the views and their zoom
        // buttons below the rest of the strip keep theirs.
        const QRect picture = StripLayout(gpWPara->machineType, gpWPara->trigInput, height()).alarmPicture;
        if (mask().boundingRect() != picture)
            setMask(picture);
    }
    if (gpControlIO && isVisible() && boardState(*gpControlIO) != shownState)
        update();
}

void IOStatusWidget::paintEvent(QPaintEvent*)
{
    if (!gpWPara || !gpControlIO || !titleBar)
        return;
    shownState = boardState(*gpControlIO);
    const IOStripLayout layout = StripLayout(gpWPara->machineType, gpWPara->trigInput, height());
    const int state = shownState;
    for (int i = 0; i < kLampInputs; ++i)
        if (layout.inputLamp[i])
            titleBar->promptSwitching_State(0, i, state >> i & 1);
    for (int i = 0; i < kLampInputs; ++i)
        titleBar->promptSwitching_State(1, i, state >> (i + 4) & 1);
    const QPixmap* alarm = gpPixmapOUT[state >> (kOutAlarm + 4) & 1];
    if (alarm && !alarm->isNull()) {
        QPainter painter(this);
        painter.drawPixmap(layout.alarmPicture, *alarm);
    }
}

void IOStatusWidget::mousePressEvent(QMouseEvent*)
{
    if (gpHost)
        gpHost->setUserLevel(0);
    update();
}
