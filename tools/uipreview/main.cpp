// uipreview texts|icons|dump [--seconds N] [--grab FILE]
//   texts  a sample of the text table in the three languages, in the fonts the
//          widgets ask for, with the IO signal names
//   icons  every picture of the resource tree and of ./images, each on a light
//          and on a navy background, with its name
//   dump   the whole text table, one entry per line: number, then the three
//          texts separated by tabs (line breaks written as \r and \n)
// The window is full screen; --seconds closes it after N seconds and --grab
// also saves what it shows.

#include "core/ionames.h"
#include "core/texttable.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

const int kSampleEntries[] = {0, 1, 31, 68, 110, 119, 121, 133, 150, 218, 286, 296,
                              316, 317, 332, 458, 512, 561, 568, 591};

QString visible(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QLabel* cell(const QString& text, const char* family, int px, const char* color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    if (family)
        font.setFamily(QString::fromLatin1(family));
    font.setPixelSize(px);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(color)));
    return label;
}

QWidget* textSample()
{
    auto* page = new QWidget;
    page->setStyleSheet(QStringLiteral("background:#ffffff;"));
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(30);
    grid->setVerticalSpacing(6);
    const char* heads[] = {"#", "简体中文 (wqy-microhei)", "English", "繁體中文 (wenquanyi)"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(cell(QString::fromUtf8(heads[c]), kFontWenQuanYi, 24, "#273d88", page), 0, c);
    int row = 1;
    for (int k : kSampleEntries) {
        grid->addWidget(cell(QString::number(k), kFontMicroHei, 20, "#656263", page), row, 0);
        grid->addWidget(cell(visible(LanStr(k, 0)), kFontMicroHei, 19, "#173889", page), row, 1);
        grid->addWidget(cell(visible(LanStr(k, 1)), kFontMicroHei, 19, "#173889", page), row, 2);
        grid->addWidget(cell(visible(LanStr(k, 2)), kFontWenQuanYi, 19, "#173889", page), row, 3);
        ++row;
    }
    for (int lan = 0; lan < kLanCount; ++lan) {
        QStringList names;
        for (int i = 0; i < kInNameCount; i += 3)
            names << gInName[i][lan];
        for (int i = 0; i < kOutNameCount; i += 4)
            names << gOutName[i][lan];
        names << gCustomInputName[0][lan] << gCustomOutputName[7][lan];
        QLabel* label = cell(names.join(QLatin1String(" | ")), nullptr, 20, "#2b418a", page);
        label->setWordWrap(true);
        grid->addWidget(label, row, lan + 1);
    }
    grid->addWidget(cell(QStringLiteral("IO"), kFontMicroHei, 20, "#656263", page), row, 0);
    grid->addWidget(cell(QStringLiteral("raw"), kFontMicroHei, 20, "#656263", page), row + 1, 0);
    for (int lan = 0; lan < kLanCount; ++lan)
        grid->addWidget(cell(LanStr(160, lan), kFontMicroHei, 20, "#173889", page), row + 1, lan + 1);
    for (int c = 1; c < 4; ++c)
        grid->setColumnStretch(c, 1);
    grid->setRowStretch(row + 2, 1);
    return page;
}

class ContactSheet : public QWidget {
public:
    ContactSheet()
    {
        const QDir icons(QStringLiteral(":/img/icons"));
        for (const QString& name : icons.entryList(QDir::Files, QDir::Name))
            pictures << icons.filePath(name);
        const QDir images(QStringLiteral("./images"));
        for (const QString& name : images.entryList(QDir::Files, QDir::Name))
            pictures << images.filePath(name);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const int cols = 12;
        const int cellW = width() / cols;
        const int cellH = 96;
        QFont font(QString::fromLatin1(kFontMicroHei));
        font.setPixelSize(13);
        p.setFont(font);
        for (int i = 0; i < pictures.size(); ++i) {
            const QRect box((i % cols) * cellW, (i / cols) * cellH, cellW, cellH);
            const QPixmap pixmap(pictures[i]);
            drawPane(p, QRect(box.x() + 4, box.y() + 4, 72, 72), QColor(0xe8, 0xe8, 0xe8), pixmap);
            drawPane(p, QRect(box.x() + 80, box.y() + 4, 72, 72), QColor(0x1f, 0x3f, 0x8d), pixmap);
            p.setPen(pixmap.isNull() ? Qt::red : QColor(0x44, 0x44, 0x44));
            p.drawText(QRect(box.x(), box.y() + 76, cellW, 18), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("%1 %2x%3").arg(pictures[i].section(QLatin1Char('/'), -1))
                           .arg(pixmap.width()).arg(pixmap.height()));
        }
    }

private:
    static void drawPane(QPainter& p, const QRect& pane, const QColor& background, const QPixmap& pixmap)
    {
        p.fillRect(pane, background);
        if (pixmap.isNull())
            return;
        const QPixmap fitted = pixmap.width() > pane.width() || pixmap.height() > pane.height()
            ? pixmap.scaled(pane.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : pixmap;
        p.drawPixmap(pane.x() + (pane.width() - fitted.width()) / 2,
                     pane.y() + (pane.height() - fitted.height()) / 2, fitted);
    }

    QStringList pictures;
};

QString escaped(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

int dumpTable()
{
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    for (int k = 0; k < kTextCount; ++k) {
        if (LanStr(k, 0).isEmpty() && LanStr(k, 1).isEmpty() && LanStr(k, 2).isEmpty())
            continue;
        out << k;
        for (int lan = 0; lan < kLanCount; ++lan)
            out << '\t' << escaped(LanStr(k, lan));
        out << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Data_Init();
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("dump"))
        return dumpTable();

    QWidget* window = nullptr;
    if (mode == QLatin1String("texts"))
        window = textSample();
    else if (mode == QLatin1String("icons"))
        window = new ContactSheet;
    else {
        std::fprintf(stderr, "usage: uipreview texts|icons|dump [--seconds N] [--grab FILE]\n");
        return 2;
    }
    window->resize(app.primaryScreen()->size());
    window->showFullScreen();

    const int grabAt = args.indexOf(QStringLiteral("--grab"));
    const int secondsAt = args.indexOf(QStringLiteral("--seconds"));
    if (grabAt > 0 && grabAt + 1 < args.size()) {
        const QString file = args.at(grabAt + 1);
        QTimer::singleShot(500, window, [window, file] { window->grab().save(file); });
    }
    if (secondsAt > 0 && secondsAt + 1 < args.size())
        QTimer::singleShot(args.at(secondsAt + 1).toInt() * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
