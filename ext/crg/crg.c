/* The S12X clock and reset generator (CRG) as an extension: the PLL lock
 * flag and the real-time interrupt (RTI).
 *
 * Registers (MC9S12XDP512): SYNR 0x34, REFDV 0x35, CRGFLG 0x37, CRGINT 0x38,
 * CLKSEL 0x39, PLLCTL 0x3A, RTICTL 0x3B. The PLL locks at once when it is on
 * (LOCK and TRACK read 1 while PLLCTL.PLLON is set). CRGFLG's RTIF, PORF,
 * LVRF, LOCKIF and SCMIF are cleared by writing 1. The RTI counts the
 * oscillator clock, which is worked out from the bus cycles and the PLL
 * settings: oscillator cycles per bus cycle = (REFDV+1)/(SYNR+1) with PLLSEL
 * set, else 2. When it expires RTIF is set, and with CRGINT.RTIE the
 * interrupt at vector 0xFFF0 is raised.
 *
 * Command "crg": the RTI period in oscillator cycles, the number of RTI
 * periods so far and CRGFLG.
 * The per-instruction callback is registered only while the RTI runs.
 */
#include <stdio.h>
#include <string.h>

#include "tav/extension.h"

enum {
  SYNR = 0x34, REFDV = 0x35, CRGFLG = 0x37, CRGINT = 0x38, CLKSEL = 0x39, PLLCTL = 0x3A, RTICTL = 0x3B,
  RTIF = 0x80, LOCK = 0x08, TRACK = 0x04, W1C = 0xF2, /* RTIF PORF LVRF LOCKIF SCMIF */
  RTIE = 0x80, PLLSEL = 0x80, PLLON = 0x40, RTI_VECTOR = 0xFFF0
};

static uint8_t flags;          /* CRGFLG as the CPU last left it, without LOCK/TRACK */
static TavHandle tick_cb;
static uint32_t last_cycles;
static uint64_t osc_scaled;    /* oscillator cycles x (SYNR+1), towards the next RTI */
static uint32_t rti_period;    /* oscillator cycles per RTI period, 0: off */
static uint32_t rti_count;

static void say(const char* text) {
  char line[300];
  snprintf(line, sizeof line, "mess \"%s\\n\"", text);
  docmd(line, 0);
}

/* The RTI period of RTICTL in oscillator cycles (0: the RTI is off). */
static uint32_t period_of(uint8_t rtictl) {
  static const uint32_t decimal[8] = {1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000};
  const uint32_t low = (rtictl & 0x0F) + 1u, high = (rtictl >> 4) & 7u;
  if (rtictl & 0x80) return low * decimal[high];
  return high == 0 ? 0 : low << (high + 9);
}

static void on_cycles(uint32_t cycles);

static uint8_t visible_flags(void) {
  return (uint8_t)(flags | ((ReadByte(PLLCTL) & PLLON) ? (LOCK | TRACK) : 0));
}

static void restart_rti(void) {
  rti_period = period_of((uint8_t)ReadByte(RTICTL));
  osc_scaled = 0;
  last_cycles = GetCycleCount();
  if (rti_period && !tick_cb) tick_cb = RegisterCBFunction(on_cycles);
  if (!rti_period && tick_cb) {
    UnRegisterCBFunction(tick_cb);
    tick_cb = NULL;
  }
}

static void on_cycles(uint32_t cycles) {
  const uint32_t bus = cycles - last_cycles;
  uint32_t num = 2, den = 1; /* oscillator cycles per bus cycle = num/den */
  last_cycles = cycles;
  if (!rti_period) return;
  if (ReadByte(CLKSEL) & PLLSEL) {
    num = (ReadByte(REFDV) & 0x3F) + 1u;
    den = (ReadByte(SYNR) & 0x3F) + 1u;
  }
  osc_scaled += (uint64_t)bus * num;
  while (osc_scaled >= (uint64_t)rti_period * den) {
    osc_scaled -= (uint64_t)rti_period * den;
    ++rti_count;
    flags |= RTIF;
    WriteByte(CRGFLG, visible_flags()); /* raw: no hook of ours runs */
    if (ReadByte(CRGINT) & RTIE) RaiseInterrupt(RTI_VECTOR);
  }
}

static void on_access(uint32_t address, int32_t size, int32_t access, uint32_t parameter) {
  (void)size;
  (void)parameter;
  if (access == 2) {
    /* A write has been stored: apply it to the register's own rules. */
    const uint8_t written = (uint8_t)ReadByte(address);
    if (address == CRGFLG) flags = (uint8_t)(flags & ~(written & W1C));
    if (address == RTICTL) restart_rti();
  }
  WriteByte(CRGFLG, visible_flags());
}

static void reset_registers(void) {
  WriteByte(PLLCTL, 0xF1);
  WriteByte(SYNR, 0);
  WriteByte(REFDV, 0);
  WriteByte(CLKSEL, 0);
  WriteByte(CRGINT, 0);
  WriteByte(RTICTL, 0);
  flags = 0x40; /* PORF: power on reset */
  rti_count = 0;
  WriteByte(CRGFLG, visible_flags());
  restart_rti();
}

static void on_reset(uint32_t unused) {
  (void)unused;
  reset_registers();
}

static TavHandle hook_flags, hook_rti;

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  reset_registers();
  hook_flags = RegisterMemHook(CRGFLG, 1, 3, 0, on_access);  /* reads see LOCK; writes clear flags */
  hook_rti = RegisterMemHook(RTICTL, 1, 2, 0, on_access);    /* a new RTI rate restarts the RTI */
  RegisterResetFunction(on_reset);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  UnRegisterMemHook(hook_flags);
  UnRegisterMemHook(hook_rti);
  if (tick_cb) UnRegisterCBFunction(tick_cb);
  tick_cb = NULL;
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[200];
  (void)line;
  snprintf(text, sizeof text, "crg: rti period %u oscillator cycles, %u periods, flags 0x%02x",
           (unsigned)rti_period, (unsigned)rti_count, (unsigned)visible_flags());
  say(text);
  return 1;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return strcmp(processor, "S12X") == 0 && execution_type == 1;
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X CRG: PLL lock and real-time interrupt"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models CRGFLG (LOCK, write-one-to-clear flags) and the RTI (RTICTL, RTIF, RTIE, vector 0xFFF0). "
         "crg: shows the RTI period and count";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 0; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "crg"; }
