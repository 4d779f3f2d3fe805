#pragma once

namespace zv {

class TDLogger;
class TOnlineMode;

// The data logger behind the Logger button and menu item and the live records of the online
// mode, as the program and the command-line tool both wire it.
void ConnectDataLogger(TOnlineMode& online, TDLogger& logger);

}  // namespace zv
