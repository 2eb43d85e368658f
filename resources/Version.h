// The product's version and names, for the version resources of both programs,
// their manifests (CMake reads the four numbers from here), the wizard's texts,
// the uninstall entry and the release's file name: the one place that defines
// them, so that they never disagree.
#pragma once

#define VELLUMAR_VERSION_MAJOR 3
#define VELLUMAR_VERSION_MINOR 2
#define VELLUMAR_VERSION_RELEASE 14
#define VELLUMAR_VERSION_BUILD 0

#define VELLUMAR_STRINGIFY_(x) #x
#define VELLUMAR_STRINGIFY(x) VELLUMAR_STRINGIFY_(x)
#define VELLUMAR_VERSION_NUMBERS \
  VELLUMAR_VERSION_MAJOR, VELLUMAR_VERSION_MINOR, VELLUMAR_VERSION_RELEASE, VELLUMAR_VERSION_BUILD
// "3.2.14.0": one string token, which the resource compiler needs too.
#define VELLUMAR_VERSION_TEXT \
  VELLUMAR_STRINGIFY(VELLUMAR_VERSION_MAJOR.VELLUMAR_VERSION_MINOR.VELLUMAR_VERSION_RELEASE.VELLUMAR_VERSION_BUILD)
#define VELLUMAR_SETUP_FILE_NAME \
  VELLUMAR_STRINGIFY(VellumarSetup-VELLUMAR_VERSION_MAJOR.VELLUMAR_VERSION_MINOR.VELLUMAR_VERSION_RELEASE.VELLUMAR_VERSION_BUILD.exe)
#define VELLUMAR_COMPANY "The Vellumar Word Processor Team"
#define VELLUMAR_PRODUCT "Vellumar Word Processor Lite"
