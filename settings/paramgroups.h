#pragma once
// Parameter groups: named copies of the job (PARAM.db and the template
// folders) under "paraGroup" in the working directory. Backing up, restoring
// (which reboots) and deleting a group work on files natively; no group name
// ever reaches a shell. Names are checked, the delivered group "default" is
// never overwritten or deleted, and a missing or empty group restores or
// deletes nothing. Questions, warnings and the record go through the ports.

#include <QString>
#include <QStringList>

class WizardPara;

class GroupPorts
{
public:
    virtual ~GroupPorts() = default;
    virtual bool ask(const QString&) { return false; }
    virtual void warn(const QString&) {}
    virtual void record(const QString&) {}
    virtual void confirmSettings() {}   // the hub's confirmation of the edited settings
    virtual void hidePad() {}
    virtual void flush() {}             // closes the databases
};

class ParamGroups
{
public:
    static const QString kDir;       // "paraGroup"
    static const QString kDefault;   // "default"

    ParamGroups(GroupPorts& ports, WizardPara& inForce, WizardPara& edited)
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

    GroupPorts& ports;
    WizardPara& inForce;
    WizardPara& edited;
};
