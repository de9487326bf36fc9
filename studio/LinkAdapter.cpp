#include "studio/LinkAdapter.h"

namespace tessaly {

InputMode LinkAdapter::InputModeNow() const {
  switch (p_->CHInputMode()) {
    case CHInput::Digital: return InputMode::Digital;
    case CHInput::Scope: return InputMode::Scope;
    default: return InputMode::Analog;
  }
}

void LinkAdapter::SetInputMode(InputMode m) {
  p_->CHInputMode(m == InputMode::Digital ? CHInput::Digital : m == InputMode::Scope ? CHInput::Scope : CHInput::Analog);
}

int LinkAdapter::SensorId(int k) const {
  switch (k) {
    case 0: return p_->CHAID();
    case 1: return p_->CHBID();
    case 2: return p_->CHCID();
    case 3: return p_->CHDID();
    case 4: return p_->CHEID();
    case 5: return p_->CHFID();
    case 6: return p_->CHGID();
    case 7: return p_->CHHID();
    default: return -1;
  }
}

std::string LinkAdapter::Unit(int k) const {
  switch (k) {
    case 0: return p_->CHAUnit();
    case 1: return p_->CHBUnit();
    case 2: return p_->CHCUnit();
    case 3: return p_->CHDUnit();
    case 4: return p_->CHEUnit();
    case 5: return p_->CHFUnit();
    case 6: return p_->CHGUnit();
    case 7: return p_->CHHUnit();
    default: return {};
  }
}

void LinkAdapter::SetDigitalTiming(bool p1, bool p2, bool p3) { p_->SetDigitalTiming(p1, p2, p3); }
void LinkAdapter::SetChangeModeFor8Port(bool on) { p_->SetChangeModeFor8Port(on); }

}  // namespace tessaly
