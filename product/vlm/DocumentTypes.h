// The document types the program opens, registered for the current user
// under HKEY_CURRENT_USER\Software\Classes: a ProgID per type whose open
// command passes the document to the program, and the extension naming it.
#pragma once
#include <string>
#include <vector>

#include "contract/ProductInterface.h"

namespace vlm {

std::string ProgIdOf(const product::TDocumentType& type);     // "<product ident>.rtf"
std::string ExtensionOf(const product::TDocumentType& type);  // ".rtf"

// The types an "-assoc" argument names: "vdoc" followed by suffixes, each
// type once, in type order; unknown suffixes are skipped.
std::vector<product::TDocumentType> ChosenDocumentTypes(const std::string& argument);

// Writes the keys of each type for programPath and takes away the other types
// still registered for programPath, then tells the shell.
void RegisterDocumentTypes(const std::string& programPath, const std::vector<product::TDocumentType>& types);

// Removes the ProgID of every type whose open command still starts
// programPath, and the extension's pointer to it; another program's
// registration of the same extension stays.
void UnregisterDocumentTypes(const std::string& programPath);

}  // namespace vlm
