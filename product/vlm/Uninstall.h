// Takes an installation away again.
#pragma once
#include <string>

namespace vlm {

// Removes what the Install.log beside programPath records in the destination
// (files, then recorded folders deepest first and only when empty), the
// product's shortcuts and document types that still point to programPath,
// this copy's count of the shared data, and finally the program, the log and
// the destination folder when it is empty. The uninstall entry and the shared
// data follow the counts (SharedData.h). Files the log does not record, and
// the folders holding them, stay. The program must not be running.
void RemoveInstallation(const std::string& programPath);

// Deletes a plain file, read-only or not, whose attributes were just read.
bool DeleteRecordedFile(const std::string& path, unsigned long attributes);

}  // namespace vlm
