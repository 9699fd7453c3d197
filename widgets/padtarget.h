#pragma once
// The line edit the docked keypads type into, kept by the main window
// (HostWindow); none while no main window exists.

class QLineEdit;

QLineEdit* PadTarget();
void SetPadTarget(QLineEdit* field);
