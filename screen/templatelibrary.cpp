#include "screen/templatelibrary.h"

#include "inspection/cameraworkset.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
const QString kReferenceTemplate = QStringLiteral("template0.bmp");
}  // namespace

int TemplateFileNumber(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^template(\\d{1,6})\\.bmp$"));
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

int FreeTemplateSlot(const std::vector<int>& flags)
{
    const auto free = std::find(flags.begin(), flags.end(), 0);
    return free == flags.end() ? -1 : static_cast<int>(free - flags.begin());
}

TemplateSlot FullLibrarySlot(QVector<TemplateFile> files, int slotCount)
{
    TemplateSlot choice;
    choice.slot = slotCount - 1;
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const TemplateFile& f) { return TemplateFileNumber(f.name) <= 0; }),
                files.end());
    if (files.isEmpty())
        return choice;
    std::sort(files.begin(), files.end(), [](const TemplateFile& a, const TemplateFile& b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });
    const int n = TemplateFileNumber(files.first().name);
    if (n < slotCount)
        choice.slot = n;
    else
        choice.deleteName = files.first().name;
    return choice;
}

QStringList SurplusTemplateFiles(QStringList names)
{
    names.removeAll(kReferenceTemplate);
    names.sort();
    return names;
}

int MarkIgnorePoints(const cv::Mat& defect, const AlarmRect* boxes, cv::Mat& ignore)
{
    if (defect.empty() || ignore.size() != defect.size() || defect.type() != CV_8UC1 || ignore.type() != CV_8UC1)
        return 0;
    const int count = std::clamp(boxes[0].x1, 0, kMaxAlarmRects - 1);
    int marked = 0;
    for (int i = 1; i <= count; ++i) {
        const AlarmRect& box = boxes[i];
        const int x1 = std::max(box.x1, 0), y1 = std::max(box.y1, 0);
        const int x2 = std::min(box.x2, defect.cols), y2 = std::min(box.y2, defect.rows);
        for (int y = y1; y < y2; ++y) {
            const uchar* from = defect.ptr<uchar>(y);
            uchar* to = ignore.ptr<uchar>(y);
            for (int x = x1; x < x2; ++x) {
                if (from[x] && to[x] != 255) {
                    to[x] = 255;
                    ++marked;
                }
            }
        }
    }
    return marked;
}
