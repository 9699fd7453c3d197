#pragma once
// Colour conversions of camera frames and the alignment of a frame to its
// template position.
//
// "RGBA" frames are 32-bit pixels 0xffRRGGBB (the display's RGB32 format: bytes
// B, G, R, A in memory); 24-bit camera frames are bytes R, G, B.

#include <opencv2/core/mat.hpp>

class QImage;
using uchar = unsigned char;

// BT.601 luma of an RGBA frame.
void RGBA2Gray(uchar* out, const int* rgba, int w, int h);
// Full-range hue 0..255 of an RGBA frame; grey pixels give 0.
void RGBA2Hue(uchar* out, const int* rgba, int w, int h);
// True when every pixel of an RGBA frame is grey (R = G = B): a grey camera's
// picture in colour mode, whose hue carries nothing.
bool RGBAColourless(const int* rgba, int w, int h);
// A 24-bit R, G, B frame as RGBA (alpha 0xff).
void RGB2RGBA(uchar* rgba, const uchar* rgb, int w, int h);
// A grey frame as RGBA: 0xff000000 | g * 0x010101.
void Gray2RGBA(const uchar* grey, int* rgba, int w, int h);
// A grey or BGRA frame into a 32-bit picture of the same size; nothing on
// any other size.
void ConvertToRgb32(const cv::Mat& frame, QImage& picture);

// dst(p) = src(p + (dx, dy)); where p + (dx, dy) lies outside the frame the
// nearest edge pixel is repeated. dst is written in place when it already has
// src's size and type (a header over a frame buffer stays one).
void MoveImage(const cv::Mat& src, cv::Mat& dst, int dx, int dy);
// dst(p) = src(R(angle) (p - centre) + centre + shift), bilinear, edges
// repeated. angle in degrees; positive turns counter-clockwise as seen on the
// screen (the sense of cv::getRotationMatrix2D), so a part found turned by
// angle and shifted by shift is brought back to its template position.
void TransformImage(const cv::Mat& src, cv::Mat& dst, const cv::Point& shift, const cv::Point& centre,
                    double angle);
// The 2x3 matrix of that map (template point -> frame point).
cv::Matx23d TemplateToFrame(const cv::Point2d& shift, const cv::Point2d& centre, double angle);

// A copy of mask when it is an 8-bit mask of the given size; otherwise a mask
// that takes every pixel.
cv::Mat MaskOrWhole(const cv::Mat& mask, const cv::Size& size);
