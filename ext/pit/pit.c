/* The S12X periodic interrupt timer (PIT) as an extension: four 16-bit
 * timers fed by two 8-bit micro timers from the bus clock.
 *
 * Registers (MC9S12XDP512, from 0x0340): PITCFLMT (PITE bit 7, force-load
 * micro timers bits 1:0), PITFLT (force-load timers), PITCE (channel
 * enables), PITMUX (channel uses micro timer 1), PITINTE, PITTF (flags,
 * write one to clear), PITMTLD0/1, then PITLDn and PITCNTn words from 0x0348.
 * A channel times out every (PITMTLD+1) x (PITLD+1) bus cycles: its PITTF
 * bit is set, and with PITINTE the interrupt at 0xFF7A - 2n is raised.
 * The per-instruction callback is registered only while the PIT runs.
 * Command "pit": each channel's period in bus cycles and time-outs so far.
 */
#include <stdio.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum {
  BASE = 0x340, CFLMT = 0x340, FLT = 0x341, CE = 0x342, MUX = 0x343, INTE = 0x344, TF = 0x345, MTLD0 = 0x346,
  LD0 = 0x348, SIZE = 0x18, PITE = 0x80, VECTOR0 = 0xFF7A
};

static uint32_t elapsed[4];  /* bus cycles since the channel's last (re)load */
static uint32_t timeouts[4];
static uint8_t flags;        /* PITTF */
static uint8_t enabled;      /* PITCE as last seen, to load newly enabled channels */
static TavHandle tick_cb, hook;
static uint32_t last_cycles;

static uint32_t micro(int n) { return ReadByte(MTLD0 + ((ReadByte(MUX) >> n) & 1u)) + 1u; }
static uint32_t period(int n) { return micro(n) * (ReadWord(LD0 + 4u * (uint32_t)n) + 1u); }
static int running(void) { return (ReadByte(CFLMT) & PITE) && (ReadByte(CE) & 0x0F); }

static void show_counters(void) {
  int n;
  for (n = 0; n < 4; ++n) {
    const uint32_t ld = ReadWord(LD0 + 4u * (uint32_t)n);
    WriteWord(LD0 + 4u * (uint32_t)n + 2u, (uint16_t)(ld - elapsed[n] / micro(n)));
  }
  WriteByte(TF, flags);
}

static void on_cycles(uint32_t cycles) {
  const uint32_t bus = cycles - last_cycles;
  const uint8_t ce = (uint8_t)ReadByte(CE), inte = (uint8_t)ReadByte(INTE);
  int n;
  last_cycles = cycles;
  for (n = 0; n < 4; ++n) {
    uint32_t p;
    if (!(ce >> n & 1)) continue;
    p = period(n);
    elapsed[n] += bus;
    while (elapsed[n] >= p) {
      elapsed[n] -= p;
      ++timeouts[n];
      flags |= (uint8_t)(1u << n);
      if (inte >> n & 1) RaiseInterrupt(VECTOR0 - 2u * (uint32_t)n);
    }
  }
  WriteByte(TF, flags);
}

static void follow_state(void) {
  const uint8_t ce = (uint8_t)(ReadByte(CE) & 0x0F);
  int n;
  for (n = 0; n < 4; ++n)
    if ((ce >> n & 1) && !(enabled >> n & 1)) elapsed[n] = 0;  /* newly enabled: loaded */
  enabled = ce;
  last_cycles = GetCycleCount();
  if (running() && !tick_cb) tick_cb = RegisterCBFunction(on_cycles);
  if (!running() && tick_cb) {
    UnRegisterCBFunction(tick_cb);
    tick_cb = NULL;
  }
}

static void on_access(uint32_t address, int32_t size, int32_t access, uint32_t parameter) {
  int n;
  (void)size;
  (void)parameter;
  if (access == 2) {
    const uint8_t written = (uint8_t)ReadByte(address);
    if (address == TF) flags = (uint8_t)(flags & ~written);
    if (address == FLT || address == CFLMT) {
      for (n = 0; n < 4; ++n)
        if (address == FLT ? (written >> n & 1) : (written & 3) != 0) elapsed[n] = 0;
      if (address == FLT) WriteByte(FLT, 0);  /* force-load bits read 0 */
      else WriteByte(CFLMT, written & 0xE0);
    }
    if (address == CFLMT && !(written & PITE)) {
      for (n = 0; n < 4; ++n) elapsed[n] = 0;
      flags = 0;
    }
    follow_state();
  }
  show_counters();
}

static void reset_registers(uint32_t unused) {
  int n;
  (void)unused;
  for (n = 0; n < SIZE; ++n) WriteByte(BASE + (uint32_t)n, 0);
  for (n = 0; n < 4; ++n) elapsed[n] = timeouts[n] = 0;
  flags = enabled = 0;
  follow_state();
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  reset_registers(0);
  hook = RegisterMemHook(BASE, SIZE, 3, 0, on_access);
  RegisterResetFunction(reset_registers);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  UnRegisterMemHook(hook);
  if (tick_cb) UnRegisterCBFunction(tick_cb);
  tick_cb = NULL;
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[200];
  int n;
  (void)line;
  for (n = 0; n < 4; ++n) {
    snprintf(text, sizeof text, "pit%d: %s, period %u bus cycles, %u time-outs", n,
             (ReadByte(CE) >> n & 1) && (ReadByte(CFLMT) & PITE) ? "on" : "off", (unsigned)period(n),
             (unsigned)timeouts[n]);
    say(text);
  }
  return 1;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X PIT: periodic interrupt timers"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models the four PIT channels and two micro timers at 0x0340. pit: shows periods and time-outs";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "pit"; }
