// Exit code 0 when a C++ exception thrown in another module is caught here.
// It is not on 32-bit MinGW (DWARF unwinding, runtime linked statically in
// each module): the process ends instead, which is why the library never
// throws out of its exports.
#include <cstdio>
#include <cstring>
#include <exception>

extern "C" __declspec(dllimport) int __cdecl ThrowProbe_Throw();

int main() {
  try {
    ThrowProbe_Throw();
  } catch (const std::exception& e) {
    std::printf("caught: %s\n", e.what());
    return std::strcmp(e.what(), "Failed to close handle to driver.") == 0 ? 0 : 2;
  }
  return 1;
}
