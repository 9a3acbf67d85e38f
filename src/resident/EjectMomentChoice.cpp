#include "resident/EjectMomentChoice.h"

std::vector<std::size_t> RegistrationsFor(const std::vector<tag_device_hotkey_info>& table,
                                          EjectMoment moment) {
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!table[i].name.empty() && (table[i].eject_on & moment) != 0) chosen.push_back(i);
  }
  return chosen;
}

DisplayStateWatch::Change DisplayStateWatch::Update(std::uint32_t state) {
  if (state == kDisplayDimmed) return Change::None;
  const std::optional<std::uint32_t> before = last_;
  last_ = state;
  if (!before || *before == state) return Change::None;
  return state == kDisplayOff ? Change::Off : Change::On;
}
