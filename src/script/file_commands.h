// The file commands that ExecuteLine carries out itself: copies (C, c),
// INI-file values (I) and directories (V). Each reports its own failures to
// ErrorList and returns normally.
#pragma once
#include <string>

#include "logon/context.h"
#include "platform/files.h"

namespace script {

// C (overwrite true) and c (overwrite false): copies source over
// destination; c leaves an existing destination file alone. A failed copy
// reports "Error copying <source> to <destination>".
void CopyScriptFile(logon::LogonContext& context, const std::string& destination,
                    const std::string& source, bool overwrite);

// I: writes value under section.key of the file; a failed write reports
// "Error loading <file> to change <section-and-key> to <value>".
void WriteIniValue(logon::LogonContext& context, const std::string& file,
                   const std::string& sectionAndKey, const std::string& value);
// The report of a failed or malformed I command.
void ReportIniFailure(logon::LogonContext& context, const std::string& file,
                      const std::string& sectionAndKey, const std::string& value);

// V: makes the directory and its missing parents unless it is there; a
// failure raised on the way reports "Mkdir <directory> failed : <message>".
void EnsureDirectory(logon::LogonContext& context, const std::string& directory);

// The platform reports attributes for the path and they carry the
// directory flag.
bool DirectoryPresent(platform::Files& files, const std::string& path);

// Creates the directory and every missing directory above it, from the top
// down. One trailing "\" is ignored; a path shorter than three characters
// (a drive such as "C:") or one that is present stops the climb. Refusals
// of the platform are not examined: what cannot be created stays missing.
void MakeDirectoryChain(platform::Files& files, const std::string& path);

}  // namespace script
