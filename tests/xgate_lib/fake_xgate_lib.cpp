// Stand-ins for the XGATE support library. Built twice: with
// FAKE_XGATE_COMPLETE all four entry points exist (with a recognisable
// address map); without it XGateToButtons is missing, as in an old library.
#include <cstdint>

#define XGATE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int init_calls = 0;
}

XGATE_EXPORT int InitExtension(void*, void*, void*) { return ++init_calls; }
XGATE_EXPORT void CloseExtension(void) {}
XGATE_EXPORT std::uint32_t XGateToGlobal(std::uint32_t a) { return 0x120000 | (a & 0xFFFF); }
#ifdef FAKE_XGATE_COMPLETE
XGATE_EXPORT int XGateToButtons(void) { return 7; }
#endif
// Lets the test see that InitExtension ran.
XGATE_EXPORT int FakeInitCalls(void) { return init_calls; }
