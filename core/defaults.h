#pragma once
// The default files of a working directory, made from the program's own
// defaults (the factory-reset package and the start-up's recovery copies).

#include <QString>
#include <functional>

class QSqlDatabase;

// Writes dir/paraGroup/default/PARAM.db, dir/paraGroup/default/SN.db and
// dir/RECORDNULL.db; existing files are replaced. False on any failure.
bool WriteDefaultFiles(const QString& dir);

// Further default tables of PARAM.db (the camera region tables) register here.
void AddDefaultParamWriter(std::function<bool(QSqlDatabase& paramDb)> writer);
