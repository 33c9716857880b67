#pragma once

#include "engine/DirArray.h"
#include "engine/DirSettings.h"

#include <ostream>
#include <string>
#include <string_view>

// The "peer.cfg" format: three header lines, then one line per record with each setting as a
// quoted field.

// The file the list is kept in, named without a folder: it lies in the working directory.
inline constexpr const char* ConfigFileName = "peer.cfg";

// The header lines, without their line ends.
inline constexpr std::string_view ConfigHeader[] = {
    "**************************************",
    "***   Do not change this file!!!   ***",
    "**************************************",
};

// Appends one record per record line of fileName to dirs (dropped when full) and writes the
// three-line echo of each to echo. A missing or unreadable file leaves dirs untouched. Returns
// 0, or the errno of the failed open or read (ENOENT: no file).
int ReadConfiguration(DirArray& dirs, const std::string& fileName, std::ostream& echo);

// The whole file as WriteConfiguration writes it.
std::string FormatConfiguration(const DirArray& dirs);

// Replaces fileName with FormatConfiguration(dirs). Returns 0 or the errno of the failure; the
// old file is left whole then.
int WriteConfiguration(const DirArray& dirs, const std::string& fileName);
