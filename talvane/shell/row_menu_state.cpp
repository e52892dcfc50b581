#include "talvane/shell/row_menu_state.h"

#include "client/hub_row_text.h"

namespace talvane {

RowMenuState rowMenuState(const HubDeviceInfo& info, bool alreadyOnRecoveryList) {
  const bool powerOn = korvex::client::hubPowerIsOn(info.status);
  return {.powerOnEnabled = !powerOn,
          .powerOffEnabled = powerOn,
          .addEnabled = !alreadyOnRecoveryList && korvex::client::deviceIsConnected(info)};
}

}  // namespace talvane
