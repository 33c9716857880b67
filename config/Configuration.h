#pragma once

#include "engine/DirArray.h"
#include "engine/DirSettings.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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

// A line of the file that holds no record the list took: it is lost at the next save.
struct SkippedLine {
    std::size_t number; // its line in the file, counted from 1
    std::string text;   // as read: without the white space before it, its CR bytes and line end
    std::string reason; // why, in a few plain words
};

struct ConfigurationRead {
    int error = 0; // 0, or the errno of the failed open or read (ENOENT: no file)
    std::vector<SkippedLine> skipped;
};

// Appends one record per record line of fileName to dirs and writes the three-line echo of each
// to echo. Lines after the header that give no record, or that come when dirs is full, are
// skipped and named in the result; so are header lines that hold a record. A missing or
// unreadable file leaves dirs untouched.
ConfigurationRead ReadConfiguration(DirArray& dirs, const std::string& fileName,
                                    std::ostream& echo);

// "line 5 (Kind is empty): <text>", the text cut to about maxText bytes.
std::string DescribeSkippedLine(const SkippedLine& line, std::size_t maxText);

// The copy of fileName kept before the first save that leaves skipped lines out.
std::string BackupFileName(const std::string& fileName);

// Copies fileName byte for byte to BackupFileName(fileName), replacing an older copy. Returns 0
// (also when fileName is missing: there is nothing to keep) or the errno of the failure.
int KeepBackup(const std::string& fileName);

// The whole file as WriteConfiguration writes it.
std::string FormatConfiguration(const DirArray& dirs);

// Replaces fileName with FormatConfiguration(dirs). Returns 0 or the errno of the failure; the
// old file is left whole then.
int WriteConfiguration(const DirArray& dirs, const std::string& fileName);
