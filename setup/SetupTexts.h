// Texts the start-up shows.
#pragma once

namespace setup {

constexpr char kAppTitle[] = "Vellumar Word Processor Lite - Setup";
constexpr char kVersionRefusal[] = "This program requires Windows 2000 or later.";
constexpr char kDamagedSetup[] =
    "This setup program is damaged and cannot install Vellumar Word Processor Lite (%s).\r\n\r\n"
    "Please obtain a new copy of the setup program.";

}  // namespace setup
