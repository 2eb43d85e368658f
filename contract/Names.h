// Every name the product goes by, spelt once. Texts are built from these by
// joining string literals, so that they stay constants of their own.
#pragma once

#define PRODUCT_NAME "Vellumar Word Processor"  // the product, as the system lists it
#define PRODUCT_EDITION PRODUCT_NAME " Lite"     // this edition, as its windows say
#define PRODUCT_SHORT_NAME "Vellumar"            // the product, in a word
#define PRODUCT_FOLDER PRODUCT_SHORT_NAME        // the folder it is installed in and keeps its data in
#define PRODUCT_IDENT "VellumarWordProcessor"    // window classes, document type names
#define PRODUCT_KEY "Software\\" PRODUCT_NAME    // its registry key
#define SETUP_TITLE PRODUCT_EDITION " - Setup"  // the setup's windows and messages
