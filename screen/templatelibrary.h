#pragma once
// The template library and ignore points as the alarm-clearing actions change
// them: which slot a new template takes, which files a clean-up deletes, and
// which pixels an alarm marks as ignored. No screen, no files.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

struct AlarmRect;
namespace cv {
class Mat;
}

struct TemplateFile {
    QString name;
    QDateTime modified;
};

struct TemplateSlot {
    int slot = -1;
    QString deleteName;   // file to delete before the slot is written; empty for none
};

// The number of a template file name "template<digits>.bmp", -1 for any other.
int TemplateFileNumber(const QString& name);

// Lowest free slot (flag 0), -1 when every slot is in use.
int FreeTemplateSlot(const std::vector<int>& flags);

// Every slot in use: the oldest template file but the reference (slot 0) is
// replaced - in place when its number is a slot, otherwise it is deleted and
// the last slot is written. With no such file the last slot is written.
TemplateSlot FullLibrarySlot(QVector<TemplateFile> files, int slotCount);

// The files a clean-up deletes from a camera step's folder: every template
// file but the reference "template0.bmp".
QStringList SurplusTemplateFiles(QStringList names);

// Marks as ignored (255) every defect pixel inside the alarm boxes of one
// region (entry 0 holds the box count; x2 and y2 exclusive), clipped to the
// frame. Returns the number of pixels marked.
int MarkIgnorePoints(const cv::Mat& defect, const AlarmRect* boxes, cv::Mat& ignore);
