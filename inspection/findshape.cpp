#include "inspection/findshape.h"

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace {

constexpr int kMaxLevels = 6;
constexpr int kMinTopSide = 24;        // the model's smaller side on its coarsest level
constexpr int kMinFeatures = 12;       // fewer edge points: the level is not used
constexpr int kTopFeatures = 64;       // edge points kept on the coarsest level
constexpr int kFeatures = 192;         // and on the others
constexpr float kModelMinGrad = 40.f;  // Sobel magnitude of a model edge (a step of about 10 grey levels)
constexpr float kImageMinGrad = 16.f;  // weaker frame gradients count as no direction
constexpr int kTopCandidates = 8;
constexpr double kCandidateShare = 0.5;   // candidates scoring under half the best are dropped
constexpr int kMaxClimbs = 8;

using Feature = FindShape::Feature;
using Level = FindShape::Level;

// Features turned by an angle, as whole-pixel offsets with their direction.
struct Turned {
    int dx, dy;
    float gx, gy;
};

std::vector<Turned> turn(const std::vector<Feature>& features, double angle)
{
    const double a = angle * CV_PI / 180.0;
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    std::vector<Turned> out;
    out.reserve(features.size());
    for (const Feature& f : features) {
        // [c s; -s c] turns counter-clockwise on a y-down screen.
        const float x = c * f.x + s * f.y;
        const float y = -s * f.x + c * f.y;
        out.push_back({cvRound(x), cvRound(y), c * f.gx + s * f.gy, -s * f.gx + c * f.gy});
    }
    return out;
}

// Unit gradient (3x3 Sobel) of an 8-bit image at one pixel; 0 where weak or at the edge.
inline void unitGradient(const cv::Mat& img, int x, int y, float* gx, float* gy)
{
    *gx = *gy = 0.f;
    if (x < 1 || y < 1 || x >= img.cols - 1 || y >= img.rows - 1)
        return;
    const uchar* up = img.ptr<uchar>(y - 1) + x;
    const uchar* mid = img.ptr<uchar>(y) + x;
    const uchar* down = img.ptr<uchar>(y + 1) + x;
    const float dx = float(up[1] + 2 * mid[1] + down[1]) - float(up[-1] + 2 * mid[-1] + down[-1]);
    const float dy = float(down[-1] + 2 * down[0] + down[1]) - float(up[-1] + 2 * up[0] + up[1]);
    const float m2 = dx * dx + dy * dy;
    if (m2 < kImageMinGrad * kImageMinGrad)
        return;
    const float inv = 1.f / std::sqrt(m2);
    *gx = dx * inv;
    *gy = dy * inv;
}

// Mean agreement of the turned model at position p of a pyramid level.
double scoreAt(const cv::Mat& img, const std::vector<Turned>& model, const cv::Point& p)
{
    if (model.empty())
        return 0;
    double sum = 0;
    for (const Turned& t : model) {
        float gx, gy;
        unitGradient(img, p.x + t.dx, p.y + t.dy, &gx, &gy);
        sum += gx * t.gx + gy * t.gy;
    }
    return sum / static_cast<double>(model.size());
}

// Full-resolution gradients are taken on a slightly smoothed image, so that
// a sharp edge gives a peaked (not flat-topped) gradient profile that fixes
// its position to a fraction of a pixel.
constexpr double kFineSigma = 1.0;

void smoothImage(const cv::Mat& img, cv::Mat& smooth)
{
    cv::GaussianBlur(img, smooth, cv::Size(5, 5), kFineSigma, kFineSigma, cv::BORDER_REPLICATE);
}

void sobelOf(const cv::Mat& img, cv::Mat& gx, cv::Mat& gy)
{
    cv::Sobel(img, gx, CV_32F, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::Sobel(img, gy, CV_32F, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
}

void smoothedGradients(const cv::Mat& img, cv::Mat* gx, cv::Mat* gy)
{
    cv::Mat smooth;
    smoothImage(img, smooth);
    sobelOf(smooth, *gx, *gy);
}

// Images of the calling thread that keep their memory from one search to the
// next: a search over a whole frame would otherwise map, fault in and clear
// megabytes each time. A header of the size asked for over the buffer.
enum Scratch { kFieldX, kFieldY, kFieldSmooth, kPyramid, kScratchCount = kPyramid + kMaxLevels };

cv::Mat threadScratch(int i, const cv::Size& size, int type)
{
    thread_local std::vector<uchar> buffers[kScratchCount];
    std::vector<uchar>& buffer = buffers[i];
    const size_t bytes = static_cast<size_t>(size.area()) * CV_ELEM_SIZE(type);
    if (buffer.size() < bytes)   // grows to the largest asked for, then stays
        buffer.resize(bytes);
    return cv::Mat(size, type, buffer.data());
}

// Bilinear value at (x, y) of an image, or of the part m of a larger one of
// size whole whose pixel `at` is m's first (x, y and the clamping in pixels of
// the larger one; the pixels read must lie in the part).
float bilinearAt(const cv::Mat& m, float x, float y, const cv::Point& at = cv::Point(), cv::Size whole = cv::Size())
{
    if (whole.empty())
        whole = m.size();
    const int x0 = std::clamp(cvFloor(x), 0, whole.width - 2), y0 = std::clamp(cvFloor(y), 0, whole.height - 2);
    const float fx = x - x0, fy = y - y0;
    CV_DbgAssert(x0 >= at.x && y0 >= at.y && x0 + 1 - at.x < m.cols && y0 + 1 - at.y < m.rows);
    const float* r0 = m.ptr<float>(y0 - at.y) + x0 - at.x;
    const float* r1 = m.ptr<float>(y0 + 1 - at.y) + x0 - at.x;
    return (r0[0] * (1 - fx) + r0[1] * fx) * (1 - fy) + (r1[0] * (1 - fx) + r1[1] * fx) * fy;
}

// Where across the edge the gradient peaks: a parabola through the magnitude
// one pixel before and after along the gradient.
cv::Point2f edgeCentre(const cv::Mat& mag, int x, int y, float ux, float uy)
{
    const float before = bilinearAt(mag, x - ux, y - uy);
    const float after = bilinearAt(mag, x + ux, y + uy);
    const float here = mag.at<float>(y, x);
    const float d = before - 2 * here + after;
    const float t = d < 0 ? std::clamp(0.5f * (before - after) / d, -0.5f, 0.5f) : 0.f;
    return cv::Point2f(x + t * ux, y + t * uy);
}

// Edge points of one level: strong, thinned to ridge points, inside the mask,
// spread over the part by keeping the strongest in each cell of a grid. On
// full resolution (fine) they are placed to a fraction of a pixel.
std::vector<Feature> extractFeatures(const cv::Mat& img, const cv::Mat& mask, const cv::Point2f& ref,
                                     int wanted, bool fine)
{
    cv::Mat gx, gy, mag;
    if (fine) {
        smoothedGradients(img, &gx, &gy);
    } else {
        cv::Sobel(img, gx, CV_32F, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
        cv::Sobel(img, gy, CV_32F, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
    }
    cv::magnitude(gx, gy, mag);
    cv::Mat inside;
    cv::erode(mask, inside, cv::Mat(), cv::Point(-1, -1), 1, cv::BORDER_CONSTANT, cv::Scalar(0));
    struct Candidate {
        float mag;
        int x, y;
    };
    std::vector<Candidate> candidates;
    for (int y = 2; y < img.rows - 2; ++y) {
        const float* m = mag.ptr<float>(y);
        const float* ax = gx.ptr<float>(y);
        const float* ay = gy.ptr<float>(y);
        const uchar* in = inside.ptr<uchar>(y);
        for (int x = 2; x < img.cols - 2; ++x) {
            if (!in[x] || m[x] < kModelMinGrad)
                continue;
            // Keep ridge points across the edge (direction in 4 sectors).
            const float ux = std::abs(ax[x]), uy = std::abs(ay[x]);
            int sx = 0, sy = 0;
            if (ux > 2.414f * uy)
                sx = 1;
            else if (uy > 2.414f * ux)
                sy = 1;
            else {
                sx = 1;
                sy = (ax[x] > 0) == (ay[x] > 0) ? 1 : -1;
            }
            const float before = mag.at<float>(y - sy, x - sx);
            const float after = mag.at<float>(y + sy, x + sx);
            if (m[x] < before || m[x] < after)
                continue;
            candidates.push_back({m[x], x, y});
        }
    }
    std::vector<Feature> features;
    if (candidates.empty())
        return features;
    // Cells of about the size that leaves `wanted` cells on an edge line.
    const int cell = std::max(1, static_cast<int>(candidates.size()) / wanted);
    const int cols = img.cols / cell + 1;
    std::vector<int> best((img.rows / cell + 1) * cols, -1);
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        int& slot = best[(candidates[i].y / cell) * cols + candidates[i].x / cell];
        if (slot < 0 || candidates[slot].mag < candidates[i].mag)
            slot = i;
    }
    std::vector<Candidate> kept;
    for (int i : best) {
        if (i >= 0)
            kept.push_back(candidates[i]);
    }
    std::sort(kept.begin(), kept.end(), [](const Candidate& a, const Candidate& b) { return a.mag > b.mag; });
    if (static_cast<int>(kept.size()) > wanted)
        kept.resize(wanted);
    for (const Candidate& c : kept) {
        const float g = mag.at<float>(c.y, c.x);
        const float ux = gx.at<float>(c.y, c.x) / g, uy = gy.at<float>(c.y, c.x) / g;
        const cv::Point2f at = fine ? edgeCentre(mag, c.x, c.y, ux, uy) : cv::Point2f(c.x, c.y);
        features.push_back({at.x - ref.x, at.y - ref.y, ux, uy});
    }
    return features;
}

double angleStepFor(const std::vector<Feature>& features)
{
    float radius = 1.f;
    for (const Feature& f : features)
        radius = std::max(radius, std::hypot(f.x, f.y));
    return std::atan2(1.0, radius) * 180.0 / CV_PI;
}

// The angles tried on the coarsest level: 0, then steps each way to the range.
std::vector<double> topAngles(int range, double step)
{
    std::vector<double> angles{0.0};
    if (range <= 0)
        return angles;
    const int steps = static_cast<int>(std::ceil(range / step));
    for (int k = 1; k <= steps; ++k) {
        const double a = std::min(k * step, static_cast<double>(range));
        angles.push_back(a);
        angles.push_back(-a);
    }
    return angles;
}

// An angle held in the searched range; a full turn wraps into (-180, 180].
double limitAngle(double angle, int range)
{
    if (range >= 180) {
        angle = std::fmod(angle, 360.0);
        if (angle <= -180.0)
            angle += 360.0;
        else if (angle > 180.0)
            angle -= 360.0;
        return angle;
    }
    return std::clamp(angle, -static_cast<double>(range), static_cast<double>(range));
}

struct Pose {
    cv::Point2d p;   // reference point in pixels of the level
    double angle = 0;
    double score = -1;
};

// Refines a pose on one level by climbing on the grid of whole pixels and
// angle steps until the best lies inside it; on level 0 then interpolates.
Pose refineOnLevel(const cv::Mat& img, const Level& level, Pose start, int posRadius, int range, bool last)
{
    const double step = range > 0 ? level.angleStep : 0.0;
    // Angles beyond the range by a step are tried; a full turn has no end.
    const double limit = range >= 180 ? std::numeric_limits<double>::infinity() : range + step;
    const int angleRadius = range > 0 ? 2 : 0;
    cv::Point centre(cvRound(start.p.x), cvRound(start.p.y));
    double angle = start.angle;
    double bestScore = -2;
    std::vector<double> table;   // [angle][dy][dx]
    const int side = 2 * posRadius + 1;
    int bx = 0, by = 0, ba = 0;
    for (int climb = 0; climb < kMaxClimbs; ++climb) {
        table.assign(static_cast<size_t>((2 * angleRadius + 1) * side * side), -2.0);
        bestScore = -2;
        for (int k = -angleRadius; k <= angleRadius; ++k) {
            const double a = angle + k * step;
            if (std::abs(a) > limit)
                continue;
            const std::vector<Turned> model = turn(level.features, a);
            for (int dy = -posRadius; dy <= posRadius; ++dy) {
                for (int dx = -posRadius; dx <= posRadius; ++dx) {
                    const double s = scoreAt(img, model, centre + cv::Point(dx, dy));
                    table[((k + angleRadius) * side + dy + posRadius) * side + dx + posRadius] = s;
                    if (s > bestScore) {
                        bestScore = s;
                        bx = dx;
                        by = dy;
                        ba = k;
                    }
                }
            }
        }
        const bool inside = std::abs(bx) < posRadius && std::abs(by) < posRadius
            && (std::abs(ba) < angleRadius || angleRadius == 0 || std::abs(angle + ba * step) + step > limit);
        if (inside || climb + 1 == kMaxClimbs)
            break;
        centre += cv::Point(bx, by);
        angle += ba * step;
        posRadius = std::max(posRadius, 1);
    }
    Pose out;
    out.p = cv::Point2d(centre.x + bx, centre.y + by);
    out.angle = angle + ba * step;
    out.score = bestScore;
    if (!last || posRadius < 1)
        return out;
    // Sub-pixel and sub-step: a parabola through the best and its two neighbours.
    auto at = [&](int k, int dy, int dx) {
        if (std::abs(k) > angleRadius || std::abs(dy) > posRadius || std::abs(dx) > posRadius)
            return -2.0;
        return table[((k + angleRadius) * side + dy + posRadius) * side + dx + posRadius];
    };
    auto vertex = [](double l, double m, double r) {
        const double d = l - 2 * m + r;
        if (l < -1.5 || r < -1.5 || d >= 0)
            return 0.0;
        return std::clamp(0.5 * (l - r) / d, -0.5, 0.5);
    };
    out.p.x += vertex(at(ba, by, bx - 1), bestScore, at(ba, by, bx + 1));
    out.p.y += vertex(at(ba, by - 1, bx), bestScore, at(ba, by + 1, bx));
    if (angleRadius > 0)
        out.angle += step * vertex(at(ba - 1, by, bx), bestScore, at(ba + 1, by, bx));
    out.angle = limitAngle(out.angle, range);
    return out;
}

// Gradients around a pose on level 0, read at fractional positions
// (bilinear). The polish maximises the model directions' agreement with the
// raw gradients, which peaks where the model points sit on the edge ridges;
// the agreement with unit directions is the score reported.
class LocalField
{
public:
    // The field spans reach around p (the model turned any way); only its
    // part inside needed (image pixels) is computed.
    LocalField(const cv::Mat& img, const cv::Point2d& p, int reach, const cv::Rect& needed)
    {
        const cv::Rect want(cvFloor(p.x) - reach, cvFloor(p.y) - reach, 2 * reach + 2, 2 * reach + 2);
        const cv::Rect frame(0, 0, img.cols, img.rows);
        const cv::Rect part = want & needed;
        const cv::Rect roi = part & frame;
        origin = want.tl();
        whole = want.size();
        partAt = part.tl() - origin;
        gx = threadScratch(kFieldX, part.size(), CV_32F);
        gy = threadScratch(kFieldY, part.size(), CV_32F);
        if (roi != part) {   // no gradient beyond the image
            gx.setTo(0);
            gy.setTo(0);
        }
        if (roi.empty())
            return;
        // Gradients over the part with a few pixels of real context, written
        // straight into the field (Sobel reads the context around its part).
        const cv::Rect context = cv::Rect(roi.x - 4, roi.y - 4, roi.width + 8, roi.height + 8) & frame;
        cv::Mat smooth = threadScratch(kFieldSmooth, context.size(), CV_8UC1);
        smoothImage(img(context), smooth);
        const cv::Mat inSmooth = smooth(cv::Rect(roi.tl() - context.tl(), roi.size()));
        const cv::Rect inPart(roi.tl() - part.tl(), roi.size());
        cv::Mat fx = gx(inPart), fy = gy(inPart);
        sobelOf(inSmooth, fx, fy);
    }

    struct Value {
        double objective = 0;   // mean of model direction . raw gradient
        double score = 0;       // mean of model direction . unit gradient
    };

    Value value(const std::vector<Feature>& features, const cv::Point2d& p, double angle) const
    {
        const double a = angle * CV_PI / 180.0;
        const double c = std::cos(a), s = std::sin(a);
        Value v;
        for (const Feature& f : features) {
            const double x = p.x + c * f.x + s * f.y - origin.x;
            const double y = p.y - s * f.x + c * f.y - origin.y;
            const int x0 = cvFloor(x), y0 = cvFloor(y);
            if (x0 < 0 || y0 < 0 || x0 + 1 >= whole.width || y0 + 1 >= whole.height)
                continue;
            const double ux = c * f.gx + s * f.gy, uy = -s * f.gx + c * f.gy;
            const double ix = bilinearAt(gx, static_cast<float>(x), static_cast<float>(y), partAt, whole);
            const double iy = bilinearAt(gy, static_cast<float>(x), static_cast<float>(y), partAt, whole);
            const double dot = ux * ix + uy * iy;
            const double mag = std::hypot(ix, iy);
            v.objective += dot;
            if (mag >= kImageMinGrad)
                v.score += dot / mag;
        }
        if (!features.empty()) {
            v.objective /= static_cast<double>(features.size());
            v.score /= static_cast<double>(features.size());
        }
        return v;
    }

private:
    cv::Mat gx, gy;        // the computed part
    cv::Point origin;      // of the whole field, in image pixels
    cv::Size whole;
    cv::Point partAt;      // the part's first pixel in the whole field
};

// Where the polish below can read gradients: it moves the pose by less than
// 2 pixels along each axis and the angle by less than 2 angle steps (a
// farthest point moves less than 2 pixels more), and reads 2 x 2 pixels for
// each point.
constexpr int kPolishMargin = 8;

cv::Rect reachedInPolish(const std::vector<Feature>& features, const Pose& pose)
{
    if (features.empty())
        return cv::Rect();
    const double a = pose.angle * CV_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
    for (const Feature& f : features) {
        const double x = pose.p.x + c * f.x + s * f.y, y = pose.p.y - s * f.x + c * f.y;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    const cv::Point from(cvFloor(x0) - kPolishMargin, cvFloor(y0) - kPolishMargin);
    const cv::Point to(cvFloor(x1) + kPolishMargin + 1, cvFloor(y1) + kPolishMargin + 1);
    return cv::Rect(from, to);
}

// Final polish on level 0: parabolas through the objective along x, y and
// the angle, with halving steps (a reach of about 2 px and 2 angle steps).
Pose polish(const cv::Mat& img, const Level& level, Pose pose, int range)
{
    int reach = 4;
    for (const Feature& f : level.features)
        reach = std::max(reach, static_cast<int>(std::ceil(std::hypot(f.x, f.y))) + 4);
    const LocalField field(img, pose.p, reach, reachedInPolish(level.features, pose));
    double step = 1.0, angleStep = range > 0 ? level.angleStep : 0.0;
    LocalField::Value centre = field.value(level.features, pose.p, pose.angle);
    auto vertex = [](double l, double m, double r) {
        const double d = l - 2 * m + r;
        return d < 0 ? std::clamp(0.5 * (l - r) / d, -1.0, 1.0) : (r > l ? 1.0 : (l > r ? -1.0 : 0.0));
    };
    for (int round = 0; round < 5; ++round) {
        for (int axis = 0; axis < (range > 0 ? 3 : 2); ++axis) {
            auto at = [&](double t) {
                Pose q = pose;
                if (axis == 0)
                    q.p.x += t * step;
                else if (axis == 1)
                    q.p.y += t * step;
                else
                    q.angle += t * angleStep;
                return std::make_pair(q, field.value(level.features, q.p, q.angle));
            };
            const double l = at(-1).second.objective, r = at(1).second.objective;
            const auto moved = at(vertex(l, centre.objective, r));
            if (moved.second.objective >= centre.objective) {
                pose = moved.first;
                centre = moved.second;
            }
        }
        step /= 2;
        angleStep /= 2;
    }
    pose.angle = limitAngle(pose.angle, range);
    pose.score = centre.score;
    return pose;
}

// Unit gradient directions of a whole level, spread over 3x3 so that a model
// point a pixel off still agrees.
void spreadDirections(const cv::Mat& img, cv::Mat* ex, cv::Mat* ey)
{
    cv::Mat gx, gy, mag;
    cv::Sobel(img, gx, CV_32F, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::Sobel(img, gy, CV_32F, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::magnitude(gx, gy, mag);
    cv::Mat weak = mag < kImageMinGrad;
    cv::max(mag, kImageMinGrad, mag);
    cv::divide(gx, mag, gx);
    cv::divide(gy, mag, gy);
    gx.setTo(0, weak);
    gy.setTo(0, weak);
    cv::blur(gx, *ex, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_CONSTANT);
    cv::blur(gy, *ey, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_CONSTANT);
}

// Exhaustive search on the coarsest level: the best few poses.
std::vector<Pose> searchTop(const cv::Mat& img, const Level& level, int range)
{
    cv::Mat ex, ey;
    spreadDirections(img, &ex, &ey);
    int reach = 1;
    for (const Feature& f : level.features)
        reach = std::max(reach, static_cast<int>(std::ceil(std::hypot(f.x, f.y))) + 2);
    cv::copyMakeBorder(ex, ex, reach, reach, reach, reach, cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::copyMakeBorder(ey, ey, reach, reach, reach, reach, cv::BORDER_CONSTANT, cv::Scalar(0));
    const std::vector<double> angles = topAngles(range, level.angleStep);
    cv::Mat best(img.size(), CV_32F, cv::Scalar(-2.f));
    cv::Mat bestAngle(img.size(), CV_32S, cv::Scalar(0));
    std::mutex merge;
    cv::parallel_for_(cv::Range(0, static_cast<int>(angles.size())), [&](const cv::Range& r) {
        cv::Mat acc(img.size(), CV_32F);
        for (int k = r.start; k < r.end; ++k) {
            acc.setTo(0);
            const std::vector<Turned> model = turn(level.features, angles[k]);
            for (const Turned& t : model) {
                const cv::Rect at(reach + t.dx, reach + t.dy, img.cols, img.rows);
                cv::scaleAdd(ex(at), t.gx, acc, acc);
                cv::scaleAdd(ey(at), t.gy, acc, acc);
            }
            // The first angle of the list wins a tie, whatever order the threads merge in.
            std::lock_guard<std::mutex> lock(merge);
            const cv::Mat better = (acc > best) | ((acc == best) & (bestAngle > k));
            acc.copyTo(best, better);
            bestAngle.setTo(k, better);
        }
    });
    best /= static_cast<double>(level.features.size());
    // Local maxima, strongest first, no two closer than a quarter of the model.
    cv::Mat dilated;
    cv::dilate(best, dilated, cv::Mat());
    double top = 0;
    cv::minMaxLoc(best, nullptr, &top);
    std::vector<Pose> peaks;
    for (int y = 0; y < best.rows; ++y) {
        const float* b = best.ptr<float>(y);
        const float* d = dilated.ptr<float>(y);
        for (int x = 0; x < best.cols; ++x) {
            if (b[x] >= d[x] && b[x] > 0 && b[x] >= kCandidateShare * top)
                peaks.push_back({cv::Point2d(x, y), angles[bestAngle.at<int>(y, x)], b[x]});
        }
    }
    std::sort(peaks.begin(), peaks.end(), [](const Pose& a, const Pose& b) { return a.score > b.score; });
    const double apart = std::max(2.0, reach / 4.0);
    std::vector<Pose> chosen;
    for (const Pose& p : peaks) {
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](const Pose& c) {
            return std::hypot(c.p.x - p.p.x, c.p.y - p.p.y) < apart;
        });
        if (!near)
            chosen.push_back(p);
        if (static_cast<int>(chosen.size()) == kTopCandidates)
            break;
    }
    return chosen;
}

}  // namespace

void FindShape::Clear()
{
    *this = FindShape();
}

bool FindShape::CreateShape(const cv::Mat& crop, const cv::Mat& mask, int range, const cv::Point& c, int least)
{
    Clear();
    if (crop.empty() || crop.type() != CV_8UC1)
        return false;
    cv::Mat m = (!mask.empty() && mask.size() == crop.size() && mask.type() == CV_8UC1)
        ? mask
        : cv::Mat(crop.size(), CV_8UC1, cv::Scalar(255));
    const cv::Point2f ref0(static_cast<float>(crop.cols / 2), static_cast<float>(crop.rows / 2));
    cv::Mat img = crop;
    std::vector<Level> built;
    for (int l = 0; l < kMaxLevels; ++l) {
        if (l > 0) {
            if (std::min(img.cols, img.rows) / 2 < kMinTopSide)
                break;
            cv::Mat smaller;
            cv::pyrDown(img, smaller);
            img = smaller;
            cv::resize(m, m, img.size(), 0, 0, cv::INTER_NEAREST);
        }
        const float scale = static_cast<float>(1 << l);
        Level level;
        level.features = extractFeatures(img, m, ref0 / scale, l == 0 ? kFeatures : kTopFeatures * 2, l == 0);
        if (static_cast<int>(level.features.size()) < kMinFeatures)
            break;
        level.angleStep = angleStepFor(level.features);
        built.push_back(std::move(level));
    }
    if (built.empty())
        return false;
    // The coarsest level is searched everywhere: keep it lean.
    std::vector<Feature>& top = built.back().features;
    if (static_cast<int>(top.size()) > kTopFeatures)
        top.resize(kTopFeatures);
    levels = std::move(built);
    centre = cv::Point2d(c.x, c.y);
    angleRange = std::clamp(range, 0, 180);
    leastMatch = std::clamp(least, 0, 100);
    return true;
}

FindShape::Match FindShape::Search(const cv::Mat& window, const cv::Point& origin) const
{
    Match result;
    if (!IsValid() || window.empty() || window.type() != CV_8UC1)
        return result;
    // Pyramid of the window, no deeper than the model nor than the window allows.
    std::vector<cv::Mat> pyramid{window};
    while (static_cast<int>(pyramid.size()) < Levels() && std::min(pyramid.back().cols, pyramid.back().rows) >= 8) {
        const cv::Size half((pyramid.back().cols + 1) / 2, (pyramid.back().rows + 1) / 2);
        cv::Mat smaller = threadScratch(kPyramid + static_cast<int>(pyramid.size()), half, CV_8UC1);
        cv::pyrDown(pyramid.back(), smaller, half);
        pyramid.push_back(smaller);
    }
    const int topLevel = static_cast<int>(pyramid.size()) - 1;
    std::vector<Pose> poses = searchTop(pyramid[topLevel], levels[topLevel], angleRange);
    cv::parallel_for_(cv::Range(0, static_cast<int>(poses.size())), [&](const cv::Range& r) {
        for (int i = r.start; i < r.end; ++i) {
            Pose& pose = poses[i];
            for (int l = topLevel - 1; l >= 0; --l) {
                pose.p *= 2.0;
                pose = refineOnLevel(pyramid[l], levels[l], pose, l == topLevel - 1 ? 2 : 1, angleRange, l == 0);
            }
            if (topLevel == 0)
                pose = refineOnLevel(pyramid[0], levels[0], pose, 1, angleRange, true);
        }
    });
    const auto best = std::max_element(poses.begin(), poses.end(),
                                       [](const Pose& a, const Pose& b) { return a.score < b.score; });
    if (best == poses.end())
        return result;
    const Pose final = polish(pyramid[0], levels[0], *best, angleRange);
    result.score = std::clamp(final.score * 100.0, 0.0, 100.0);
    result.angle = final.angle;
    result.shift = cv::Point2d(origin.x + final.p.x, origin.y + final.p.y) - centre;
    result.found = result.score >= leastMatch;
    return result;
}

bool FindShape::Find(const cv::Mat& window, const cv::Point& origin, int* x, int* y, double* score,
                     double* angle) const
{
    const Match m = Search(window, origin);
    *x = origin.x + cvRound(m.shift.x);
    *y = origin.y + cvRound(m.shift.y);
    *score = m.score;
    *angle = m.angle;
    return m.found;
}
