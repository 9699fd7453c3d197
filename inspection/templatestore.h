#pragma once
// The templates and ignore points of a camera's detection steps as files in
// the working directory, one folder per camera and step:
//   "./cammer<camera + 1><step + 1>/template<slot>.bmp": a template frame,
//       8-bit indexed grey (grey cameras) or 32-bit RGB (colour cameras);
//   "./cammer<camera + 1><step + 1>/ignorepoint.bmp": the ignore points,
//       8-bit indexed, pixel value = the ignore byte.
// The camera view calls these on its CameraWorkSet. Frames of any width
// (odd ones too) are written and read row by row.

#include <QString>
#include <QVector>
#include <QRgb>

class CameraWorkSet;
namespace cv {
class Mat;
}

class TemplateStore
{
public:
    static QString TemplatePath(int camera, int step, int slot);
    static QString IgnorePointPath(int camera, int step);
    // 256 entries, entry j = opaque grey j.
    static const QVector<QRgb>& GreyColourTable();

    // A frame (8-bit grey or 4-byte colour) as a BMP file; false when not written.
    static bool WriteFrame(const QString& path, const cv::Mat& frame);
    // The BMP file at path when it is exactly w x h with depth bits per
    // pixel (8 or 32), as a frame; empty otherwise.
    static cv::Mat ReadFrame(const QString& path, int w, int h, int depth);

    // Fills every step's template slots from the files. A slot whose file
    // is missing or not of the frame's size and kind stays empty; an empty
    // slot 0 is made in memory: 255 inside the centred half-size rectangle
    // (both ends included), 0 elsewhere. Nothing is written.
    static void LoadTemplates(CameraWorkSet& view);
    // LoadTemplates for one step, keeping the pictures already in memory
    // (a template just re-sampled): only slots without a picture are read.
    static void LoadStepTemplates(CameraWorkSet& view, int step);
    // Frees the pictures of the step's templates; the slots stay in use, as
    // their files hold them (LoadStepTemplates reads them again).
    static void ReleaseTemplates(CameraWorkSet& view, int step);
    // Template 0 of the step: the picture in memory, else read from its file
    // (and not kept); empty when there is neither.
    static cv::Mat ReferenceTemplate(const CameraWorkSet& view, int step);
    // Reads every step's ignore points; a missing, unreadable or wrongly
    // sized file gives all zeros.
    static void LoadIgnorePoint(CameraWorkSet& view);
    // Writes the step's ignore points and, once written, reports the file
    // to the network link. False when not written.
    static bool SaveIgnorePoint(CameraWorkSet& view, int step);
    // Writes one template slot (reported as SaveIgnorePoint does).
    static bool SaveTemplate(CameraWorkSet& view, int step, int slot);
    // The newest frame becomes template 0 of step: imageRaw is copied into
    // imageWork, imageShow and template 0, which is written. The caller retrains.
    static bool SaveReTrainImage(CameraWorkSet& view, int step);
    // Deletes region r of step editDetect from the edited record: the
    // ignore points inside its frame rectangle are cleared (and saved), and
    // the later regions move one place down with their masks (the NG
    // outputs too in step 0).
    static void DeleteROI(CameraWorkSet& view, int editDetect, int r);
};
