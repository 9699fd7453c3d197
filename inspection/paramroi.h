#pragma once
// One region's result of a cycle as the network link reports it: eight
// 32-bit integers in this order.

#include <QList>

struct param_roi {
    int camera = 0;   // camera index from 0
    int detect = 0;   // detection step from 0
    int roi = 0;      // region index from 0
    int mode = 0;     // detection function 0..8
    int value = 0;    // measured value
    int lower = 0;    // lower bound of the verdict
    int upper = 0;    // upper bound of the verdict (-1 none)
    int ok = 0;       // 0 when this region failed, else the camera's verdict so far
};

// Results of the cycle under way, collected while a trigger source is set and
// the network link is on; the OK/NG decision sends and empties the list.
// GUI thread only.
extern QList<param_roi> g_listParamROI;
