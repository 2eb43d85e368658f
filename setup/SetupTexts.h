// Texts the start-up shows.
#pragma once

#include "contract/Names.h"

namespace setup {

constexpr char kAppTitle[] = SETUP_TITLE;
constexpr char kVersionRefusal[] = "This program requires Windows 2000 or later.";
constexpr char kDamagedSetup[] =
    "This setup program is damaged and cannot install " PRODUCT_EDITION " (%s).\r\n\r\n"
    "Please obtain a new copy of the setup program.";

}  // namespace setup
