#pragma once
// Frames of a camera view as BMP files: the templates its construction
// reads ("./cammer<camera+1><step+1>/template<slot>.bmp"), and saved frames.

#include <QString>

class ViewWorkSet;
namespace cv {
class Mat;
}

QString TemplateFile(int camera, int step, int slot);

// The BMP file at path when it loads, is exactly w x h and has depth bits
// per pixel (8 grey, 32 colour), as a frame (CV_8UC1 or CV_8UC4, rows
// without the file's padding); empty otherwise.
cv::Mat ReadFrame(const QString& path, int w, int h, int depth);
// A frame as a BMP file: 8-bit with the grey colour table, or 32-bit RGB.
// False when it was not written.
bool WriteFrame(const QString& path, const cv::Mat& frame);

// Fills every step below gDNum of the view's template slots from the files.
// A slot whose file is missing, unreadable or of another size or kind stays
// empty; an empty slot 0 is made in memory: 255 where w/4 <= x <= 3w/4 and
// h/4 <= y <= 3h/4 (integer division, both bounds included) in the first
// w x h bytes, 0 elsewhere. Nothing is written.
void LoadTemplates(ViewWorkSet& view);
