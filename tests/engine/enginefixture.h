#pragma once
// One camera's record, working set and engine on small frames, with the
// display scale set to 1 (display coordinates = frame pixels), settings of
// its own and hooks that collect what the engine reports.

#include "inspection/cameraworkset.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/perf/scenes.h"

#include "core/wizardpara.h"

#include <QRect>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class EngineFixture : public ::testing::Test
{
protected:
    EngineFixture();
    ~EngineFixture() override;

    // Frame geometry and buffers (grey unless colour); call before adding regions.
    void Frame(int w, int h, bool colour = false);

    // Adds a region to step d of the record in force; returns its index.
    int AddRect(int d, int func, const QRect& frameRect, int a, int b, int c);
    int AddCircle(int d, int func, int cx, int cy, int r, int rIn, int a, int b, int c);
    int AddPolygon(int d, int func, const QVector<QPoint>& points, int a, int b, int c);
    // Makes the edited record a copy of the record in force (as the editor does).
    void CopyToEdit();

    // A grey frame filled with level.
    cv::Mat Flat(int level) const;
    // Puts frame into template slot t of step d.
    void Template(int d, int t, const cv::Mat& frame);
    // Builds the engine (training every enabled step).
    CammerRecong& Engine();
    // Judges frame as step d: imageRaw = frame, ShapeMatch, Run.
    void Judge(int d, const cv::Mat& frame);

    int Count(int d, int r) const { return view.alarmRects[d][r][0].x1; }

    WizardPara settings;
    CammerSingleton live{0};
    CammerSingleton edit{0};
    CameraWorkSet view;
    std::unique_ptr<CammerRecong> engine;
    QStringList records;
    int trigSource = 0;

private:
    int addRegion(int d, int func, int type, int a, int b, int c);

    WizardPara* keepSettings;
    int keepW, keepH, keepLen, keepColorLen, keepColour, keepShowW, keepShowH, keepTempNum, keepDNum;
    float keepAW, keepAH;
};
