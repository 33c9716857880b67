#pragma once

#include "engine/DirArray.h"
#include "engine/DirSettings.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// The "peer.cfg" format: three header lines, then one line per record with each setting as a
// quoted field.

// What ReadConfiguration found.
struct ConfigurationRead {
    int error = 0;           // errno of the failed open or read (ENOENT: no file), else 0
    std::size_t records = 0; // record lines read, including the dropped ones
    std::size_t dropped = 0; // records that did not fit in the list
    std::size_t skipped = 0; // lines without a quoted field per setting, or with an empty Kind
};

// Appends one record per record line of fileName to dirs (dropped when full) and writes the
// three-line echo of each to echo. A missing or unreadable file leaves dirs untouched.
ConfigurationRead ReadConfiguration(DirArray& dirs, const std::string& fileName,
                                    std::ostream& echo);

// The whole file as WriteConfiguration writes it.
std::string FormatConfiguration(const DirArray& dirs);

// Replaces fileName with FormatConfiguration(dirs). Returns 0 or the errno of the failure; the
// old file is left whole then.
int WriteConfiguration(const DirArray& dirs, const std::string& fileName);

// The Attrib field's number: leading white space, an optional sign, then decimal digits up to
// the first other character; no digits give 0. Wraps modulo 2^32 like an unchecked 32-bit
// conversion, so "4294967295" gives -1.
std::int32_t ParseAttrib(std::string_view text);
