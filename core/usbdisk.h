#pragma once
// The USB disk used by the data export, the program update and the
// autocopy: found with blkid and mounted on "/mnt" (or on the folder named
// by MOULDMON_USB_ROOT). While machine commands are only recorded
// (MOULDMON_SHELL=record:FILE), that folder is the mounted disk itself: it
// is found when it exists, and no host disk is looked for or mounted.

#include <QString>

// Where the disk is mounted: "/mnt" or MOULDMON_USB_ROOT.
QString UsbRoot();

// Finds a USB disk partition (FAT, NTFS or exFAT on a disk other than the
// system's ext4 disk), mounts it and returns the mount point when it is
// mounted there afterwards; an empty string otherwise.
QString FindAU();
// Whether something is mounted on the mount point.
bool FindU();
// Remounts /dev/sdb1, else /dev/sdc1, on the mount point; true on success.
bool FindU_ByManual();

// The blkid device FindAU would mount, or an empty string.
QString UsbCandidate(const QString& blkidText);
// Mount table lines whose mount point is exactly mountPoint.
int MountsOn(const QString& mountsText, const QString& mountPoint);
// Whether the mount table has device mounted exactly on mountPoint.
bool MountedOn(const QString& mountsText, const QString& device, const QString& mountPoint);

// The mount table read by FindAU and FindU ("/proc/mounts"); tests point it
// at a file of their own. An empty path restores the default.
void SetMountsFile(const QString& path);
