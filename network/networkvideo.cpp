// The link's live video: shares, the memory-info message and the frame pass.

#include "network/network.h"

#include "core/wizardpara.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

void CNT_Net::CNT_AddUseMemory(int share, int width, int height, VideoShares::Source source)
{
    shares.Add(share, width, height, gpWPara ? gpWPara->videoFps : 0, std::move(source));
}

void CNT_Net::CNT_SendMemoryInfo()
{
    if (!sends(kSendMemoryInfo) || isMemoryInfoSent || !shares.hasShares())
        return;
    queueMessage(kSendMemoryInfo, shares.MemoryInfoBody());
    isMemoryInfoSent = true;
}

bool CNT_Net::CNT_UpdateMemory(int share, const QImage& picture)
{
    if (!isClientConnected || !isMemoryInfoSent)
        return false;
    const VideoShares::Write result = shares.Update(share, picture);
    framesWritten += result == VideoShares::Write::Done;
    framesBusy += result == VideoShares::Write::Busy;
    return result == VideoShares::Write::Done;
}

void CNT_Net::CNT_FreeShareMemory()
{
    shares.Free();
}

void CNT_Net::stampTime(QImage& picture) const
{
    QPainter painter(&picture);
    painter.setPen(QColor(0, 255, 0));
    QFont font(QStringLiteral("wqy-microhei"));
    font.setPointSize(50);
    painter.setFont(font);
    const QRect bottom(0, picture.height() - 100, picture.width(), 100);
    painter.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter,
                     QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")));
}

// The largest visible top-level window, scaled to the screen share's size.
QImage* CNT_Net::grabScreen()
{
    const auto it = shares.all().constFind(0);
    if (it == shares.all().constEnd())
        return nullptr;
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (!window || w->width() * w->height() > window->width() * window->height()))
            window = w;
    }
    if (!window)
        return nullptr;
    screenFrame = window->grab().toImage().scaled(it->width, it->height).convertToFormat(QImage::Format_RGB32);
    return &screenFrame;
}

void CNT_Net::framePass()
{
    const WizardPara* p = gpWPara;
    if (!p || p->videoType == 0 || !p->netLinkOn || !isClientConnected || !isMemoryInfoSent
        || WizardPara::Text(p->useName) == QLatin1String("null"))
        return;
    if (p->videoType == 2) {
        for (auto it = shares.all().constBegin(); it != shares.all().constEnd(); ++it) {
            const VideoShares::Source source = shares.source(it.key());
            QImage* picture = source ? source() : nullptr;
            if (!picture || picture->isNull())
                continue;
            stampTime(*picture);
            CNT_UpdateMemory(it.key(), *picture);
        }
    } else if (p->videoType == 1) {
        if (QImage* screen = grabScreen())
            CNT_UpdateMemory(0, *screen);
    }
}
