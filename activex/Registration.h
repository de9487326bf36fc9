#pragma once
// Self-registration of the control: the type library and the classes-root
// keys of RegistrationTable. Both throw pel::com::ComError on failure.
namespace pel::com {

void RegisterControlServer();
void UnregisterControlServer();

}  // namespace pel::com
