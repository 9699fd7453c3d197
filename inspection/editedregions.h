#pragma once
// The region editor's edited record of a camera and the record in force:
// opening the edit, moving it into force and storing it, deleting all
// regions of a step, and, with mouldAsProduct, the product step's regions
// standing in for the mould step's.

class CameraWorkSet;
class QSqlDatabase;
class WizardPara;

namespace EditedRegions {

// The edited record becomes the record in force, masks too (BackMask).
void OpenEdit(CameraWorkSet& view);
// Edit masks = live masks, for the steps in use.
void BackMask(CameraWorkSet& view);
// Live masks = edit masks, for the steps in use except those that are
// copies of another step (CopyPara).
void RestorMask(CameraWorkSet& view, const WizardPara& settings);
// With mouldAsProduct: the product step's regions (record in force) copied
// to the mould step (types 0, 3, 5 with the product step on: step 0 to 1;
// types 1, 2: step 1 to 3, then 0 to 2). Parameters, shapes and masks go
// along; NG outputs and step flags stay.
void CopyPara(CameraWorkSet& view, const WizardPara& settings);
// Moves the edited record into force (copied steps filled again from their
// sources, the edit reopened on the result) and stores it. False when the
// store failed (the record is in force all the same).
bool Commit(CameraWorkSet& view, QSqlDatabase& paramDb, const WizardPara& settings);
// Step `step` of the edited record loses every region; its ignore points
// are cleared and written.
void DeleteAllROI(CameraWorkSet& view, int step);

}  // namespace EditedRegions
