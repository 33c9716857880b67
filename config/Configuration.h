#pragma once

#include "engine/DirArray.h"

#include <ostream>
#include <string>

// The "peer.cfg" format: three header lines, then one line of seven quoted fields per record.

// Appends one record per record line of fileName to dirs (dropped when full) and writes the
// three-line echo of each to echo. A missing or unreadable file leaves dirs untouched.
void ReadConfiguration(DirArray& dirs, const std::string& fileName, std::ostream& echo);

// The whole file as WriteConfiguration writes it.
std::string FormatConfiguration(const DirArray& dirs);

// Replaces fileName with FormatConfiguration(dirs). Returns 0 or the errno of the failure; the
// old file is left whole then.
int WriteConfiguration(const DirArray& dirs, const std::string& fileName);
