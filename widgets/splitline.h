#pragma once
// One-pixel separator lines; the parent owns them, the caller lays them out.

class QString;
class QWidget;

QWidget* createVerticalSplitLine(QWidget* parent, const QString& colour);
QWidget* createHorizontalSplitLine(QWidget* parent, const QString& colour);
