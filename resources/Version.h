// The product's version and names, for the version resources of both programs
// and for the uninstall entry: one place, so that they never disagree.
#pragma once

#define VELLUMAR_VERSION_NUMBERS 3, 2, 14, 0
#define VELLUMAR_VERSION_TEXT "3.2.14.0"
#define VELLUMAR_COMPANY "The Vellumar Word Processor Team"
#define VELLUMAR_PRODUCT "Vellumar Word Processor Lite"
