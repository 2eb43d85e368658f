// The product's names as a user reads them, spelt here on their own: tests
// compare what the programs show and write with these, not with the programs'
// own constants, so that a changed name cannot pass unseen.
#pragma once

#define NAME_PRODUCT "Vellumar Word Processor"
#define NAME_EDITION NAME_PRODUCT " Lite"
#define NAME_SHORT "Vellumar"
#define NAME_IDENT "VellumarWordProcessor"
#define NAME_KEY "Software\\" NAME_PRODUCT
