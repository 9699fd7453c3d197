#pragma once
// Parameter groups: named copies of the job (PARAM.db and the template
// folders) under "paraGroup" in the working directory. Backing up, restoring
// (which reboots) and deleting a group work on files natively; no group name
// ever reaches a shell. Names are checked, the delivered group "default" is
// never overwritten or deleted, and a missing or empty group restores or
// deletes nothing. Questions, warnings, the record, the confirmation of the
// edited settings and the closing of the databases go through the ports of
// the maintenance actions.

#include "settings/maintenance.h"

#include <QString>
#include <QStringList>

class WizardPara;

class ParamGroups
{
public:
    static const QString kDir;       // "paraGroup"
    static const QString kDefault;   // "default"

    ParamGroups(MaintenancePorts& ports, WizardPara& inForce, WizardPara& edited)
        : ports(ports)
        , inForce(inForce)
        , edited(edited)
    {
    }

    // Group folder names in name order (the selector's items).
    static QStringList List();
    // The text entry of the warning a group name deserves, or 0 when it is fine.
    static int NameProblem(const QString& name);

    // Backs the job up under name (steps: detection steps of the template
    // folders). Returns true when the group was written; the group number is
    // then its index in List(), in both records and in "sysadd.txt".
    bool Backup(const QString& name, int steps);
    // Restores the group shown at index of the selector and reboots. Returns
    // false when nothing was restored.
    bool Restore(const QString& name, int index, int steps);
    // Deletes the group; true when the selector should drop its item.
    bool Delete(const QString& name);

private:
    bool checked(const QString& name, bool protectDefault);
    void setGroupNumber(int number);

    MaintenancePorts& ports;
    WizardPara& inForce;
    WizardPara& edited;
};
