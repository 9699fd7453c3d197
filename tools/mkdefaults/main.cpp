// Writes the installation files of a working directory from the program's own
// defaults: paraGroup/default/PARAM.db (with the camera region tables) and SN.db
// (what a first start on empty files stores) and the empty operation record RECORDNULL.db.
//
// usage: mkdefaults OUTDIR

#include "core/database.h"
#include "core/defaults.h"
#include "inspection/cammersingleton.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkdefaults OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    CammerSingleton::RegisterDefaultTables();   // the camera region tables of PARAM.db
    if (!WriteDefaultFiles(out)) {
        std::fprintf(stderr, "mkdefaults: cannot write the default files in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
