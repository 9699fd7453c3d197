#include "enginefixture.h"

#include "inspection/inspectionhooks.h"


EngineFixture::EngineFixture()
    : keepSettings(gpWPara), keepW(gImageW), keepH(gImageH), keepLen(gImageLen), keepColorLen(gColorLen),
      keepColour(gisColor), keepShowW(gShowW), keepShowH(gShowH), keepTempNum(gTempNum), keepDNum(gDNum),
      keepAW(gShowAW), keepAH(gShowAH)
{
    gpWPara = &settings;
    gTempNum = 10;
    gDNum = 2;
    settings.detectOn[0] = 1;
    settings.detectOn[1] = 1;
    settings.motionCorrection = -1;
    settings.perRoiParams = 1;
    settings.filterSize = 3;
    settings.alarmArea = 100;
    settings.minSpot = 3;
    settings.maxLocationOffset = 8000;
    InspectionHooks& hooks = gInspectionHooks();
    hooks = InspectionHooks();
    hooks.insertRecord = [this](const QString& line) { records << line; };
    hooks.trigSource = [this] { return trigSource; };
    view.liveRecord = &live;
    view.editRecord = &edit;
    g_listParamROI.clear();
}

EngineFixture::~EngineFixture()
{
    gInspectionHooks() = InspectionHooks();
    g_listParamROI.clear();
    gpWPara = keepSettings;
    gImageW = keepW;
    gImageH = keepH;
    gImageLen = keepLen;
    gColorLen = keepColorLen;
    gisColor = keepColour;
    gShowW = keepShowW;
    gShowH = keepShowH;
    gShowAW = keepAW;
    gShowAH = keepAH;
    gTempNum = keepTempNum;
    gDNum = keepDNum;
}

void EngineFixture::Frame(int w, int h, bool colour)
{
    gImageW = gShowW = w;
    gImageH = gShowH = h;
    gShowAW = gShowAH = 1.0f;
    gImageLen = w * h;
    gColorLen = gImageLen * (colour ? 4 : 1);
    gisColor = colour ? 1 : 0;
    view.Allocate(w, h, colour, gTempNum);
    for (cv::Mat& points : view.ignoreImage)
        points = cv::Mat::zeros(h, w, CV_8UC1);
}

int EngineFixture::addRegion(int d, int func, int type, int a, int b, int c)
{
    const int r = live.roiNum[d]++;
    live.func[d][r] = func;
    live.roiType[d][r] = type;
    live.minWH[d][r] = a;
    live.sensitivity[d][r] = b;
    live.area[d][r] = c;
    live.SetImageRect(d, r);
    view.liveMasks[d][r] = live.MakeMask(d, r);
    return r;
}

int EngineFixture::AddRect(int d, int func, const QRect& frameRect, int a, int b, int c)
{
    live.rects[d][live.roiNum[d]].rect = frameRect;
    return addRegion(d, func, kRoiRect, a, b, c);
}

int EngineFixture::AddCircle(int d, int func, int cx, int cy, int radius, int rIn, int a, int b, int c)
{
    Circle& circle = live.circles[d][live.roiNum[d]];
    circle.cx = cx;
    circle.cy = cy;
    circle.r = radius;
    circle.rIn = rIn;
    circle.UpdateRect();
    return addRegion(d, func, kRoiCircle, a, b, c);
}

int EngineFixture::AddPolygon(int d, int func, const QVector<QPoint>& points, int a, int b, int c)
{
    live.polygons[d][live.roiNum[d]].setPoints(points.size(), points.constData());
    return addRegion(d, func, kRoiPolygon, a, b, c);
}

void EngineFixture::CopyToEdit()
{
    edit = live;
    view.editMasks = view.liveMasks;
}

cv::Mat EngineFixture::Flat(int level) const
{
    return cv::Mat(view.imageWork.size(), CV_8UC1, cv::Scalar(level));
}

void EngineFixture::Template(int d, int t, const cv::Mat& frame)
{
    view.SetTemplate(d, t, frame);
}

CammerRecong& EngineFixture::Engine()
{
    if (!engine)
        engine = std::make_unique<CammerRecong>(&live, &view);
    return *engine;
}

void EngineFixture::Judge(int d, const cv::Mat& frame)
{
    frame.copyTo(view.imageRaw);
    Engine().ShapeMatch(d);
    Engine().Run(d);
}
