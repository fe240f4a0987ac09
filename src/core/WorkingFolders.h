#pragma once

#include <array>

namespace quillon {

// The data folders of the shop's working directory. They are installed with
// the program; the shop creates none of them.
inline constexpr char kDbFolder[] = "Db";               // OE.DB, TRUST.TXT
inline constexpr char kSystemLogFolder[] = "SystemLog"; // SYSLOG000000.TXT, ...
inline constexpr char kOrderLogFolder[] = "OrderLog";   // ORDERLOG000000.XML, ...
inline constexpr char kPluginFolder[] = "plugin";       // the plug-ins to load
inline constexpr char kHistoryFolder[] = "History";     // history exports, the chat script

inline constexpr std::array<const char*, 5> kDataFolders = {
    kDbFolder, kSystemLogFolder, kOrderLogFolder, kPluginFolder, kHistoryFolder};

// The default rootpath's folder, under which order folders are made.
inline constexpr char kOrdersFolder[] = "Orders";

} // namespace quillon
