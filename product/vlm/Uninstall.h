// Takes an installation away again.
#pragma once
#include <string>

namespace vlm {

// Removes what the Install.log beside programPath records in the destination
// and data folders (files, then recorded folders deepest first and only when
// empty), the product's shortcuts, the document types and the uninstall
// entry that still point to programPath, and finally the program, the log and
// the destination folder when it is empty. Files the log does not record, and
// the folders holding them, stay. The program must not be running.
void RemoveInstallation(const std::string& programPath);

}  // namespace vlm
