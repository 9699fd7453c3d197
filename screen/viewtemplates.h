#pragma once
// Template pictures of a camera view as its construction reads them: one
// file per camera, step and slot, taken only when it has the frame's exact
// size and pixel depth.

#include <QString>
#include <cstdint>

// "./cammer<camera+1><step+1>/template<slot>.bmp"
QString TemplateFile(int camera, int step, int slot);

// Copies the picture's pixels into buffer (width x height bytes in grey
// mode, four bytes per pixel in colour mode) when the file loads, is exactly
// width x height and is 8-bit (grey) or 32-bit (colour). Rows are copied
// without the file's row padding. False leaves buffer untouched.
bool ReadTemplatePicture(const QString& file, int width, int height, bool colour, uint8_t* buffer);

// The picture that stands in for a missing template 0: in the first
// width x height bytes, 255 where width/4 <= x <= 3*width/4 and
// height/4 <= y <= 3*height/4, 0 elsewhere.
void FillCentreTemplate(uint8_t* buffer, int width, int height);
