#include "contract/ProductInterface.h"

namespace product {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string AssociationArgument(const std::string& letters) {
  std::string argument = "-assoc vdoc";
  for (const TDocumentType& type : kDocumentTypes)
    if (letters.find(type.Letter) != std::string::npos) argument += type.Suffix;
  return argument;
}

std::string AssociationCommand(const std::string& programPath, const std::string& letters) {
  return Quoted(programPath) + " " + AssociationArgument(letters);
}

std::string LaunchCommand(const std::string& programPath) { return Quoted(programPath); }

std::string UninstallCommand(const std::string& programPath) { return Quoted(programPath) + " -ui"; }

}  // namespace product
