/* The S12X clock and reset generator (CRG) as an extension: the PLL lock
 * flag, the real-time interrupt (RTI) and the COP watchdog.
 *
 * Registers (MC9S12XDP512): SYNR 0x34, REFDV 0x35, CRGFLG 0x37, CRGINT 0x38,
 * CLKSEL 0x39, PLLCTL 0x3A, RTICTL 0x3B, COPCTL 0x3C, ARMCOP 0x3F. The PLL
 * locks at once when it is on (LOCK and TRACK read 1 while PLLCTL.PLLON is
 * set). The oscillator never fails: SCM reads 0 and neither the clock
 * monitor nor self-clock mode ever acts. CRGFLG's RTIF, PORF, LVRF, LOCKIF
 * and SCMIF are cleared by writing 1. The RTI and the COP count the
 * oscillator clock, which is worked out from the bus cycles and the PLL
 * settings: oscillator cycles per bus cycle = (REFDV+1)/(SYNR+1) with PLLSEL
 * set, else 2. When the RTI expires RTIF is set, and with CRGINT.RTIE the
 * interrupt at vector 0xFFF0 is raised. The COP (COPCTL.CR) is restarted by
 * writing 0x55 then 0xAA to ARMCOP; when it runs out, when ARMCOP gets any
 * other value, or (window mode, WCOP) a write falls in the first three
 * quarters of the period, the CPU is reset through the vector at 0xFFFA.
 *
 * Real-time pacing ("crg realtime on"): runs wait so that the simulated
 * time (bus cycles at the bus clock of the oscillator, 8 MHz unless "crg
 * oscillator <hz>" says otherwise) does not get ahead of the wall clock;
 * checked once per simulated millisecond.
 *
 * Command "crg": the RTI period in oscillator cycles, the number of RTI
 * periods so far, CRGFLG, the COP period and the COP resets so far;
 * "crg realtime on|off", "crg oscillator <hz>".
 * The per-instruction callback is registered only while the RTI or COP runs
 * or real-time pacing is on.
 */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum {
  SYNR = 0x34, REFDV = 0x35, CRGFLG = 0x37, CRGINT = 0x38, CLKSEL = 0x39, PLLCTL = 0x3A, RTICTL = 0x3B,
  COPCTL = 0x3C, ARMCOP = 0x3F, WCOP = 0x80, COP_VECTOR = 0xFFFA,
  RTIF = 0x80, LOCK = 0x08, TRACK = 0x04, W1C = 0xF2, /* RTIF PORF LVRF LOCKIF SCMIF */
  RTIE = 0x80, PLLSEL = 0x80, PLLON = 0x40, RTI_VECTOR = 0xFFF0
};

static uint8_t flags;          /* CRGFLG as the CPU last left it, without LOCK/TRACK */
static TavHandle tick_cb;
static uint32_t last_cycles;
static uint64_t osc_scaled;    /* oscillator cycles x (SYNR+1), towards the next RTI */
static uint32_t rti_period;    /* oscillator cycles per RTI period, 0: off */
static uint32_t rti_count;
static uint64_t cop_scaled;    /* oscillator cycles x (SYNR+1) since the COP was last served */
static uint32_t cop_period;    /* oscillator cycles per COP period, 0: off */
static uint32_t cop_resets;
static int cop_armed;          /* 0x55 written, 0xAA awaited */
static int cop_reset_due;      /* a wrong ARMCOP write: reset after this instruction */
static int realtime;
static uint32_t paced_cycles;  /* the cycle count of the last pacing check */
static uint64_t paced_ns;      /* simulated time since the run began */
static struct timespec run_began;
static uint32_t osc_hz = 8000000;

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

static void update_callback(void) {
  if ((rti_period || cop_period || realtime) && !tick_cb) {
    last_cycles = GetCycleCount();
    tick_cb = RegisterCBFunction(on_cycles);
  }
  if (!rti_period && !cop_period && !realtime && tick_cb) {
    UnRegisterCBFunction(tick_cb);
    tick_cb = NULL;
  }
}

static void restart_rti(void) {
  rti_period = period_of((uint8_t)ReadByte(RTICTL));
  osc_scaled = 0;
  update_callback();
}

/* The COP time-out of COPCTL.CR in oscillator cycles (0: off). */
static uint32_t cop_period_of(uint8_t copctl) {
  static const uint8_t shift[8] = {0, 14, 16, 18, 20, 22, 23, 24};
  return (copctl & 7) ? 1u << shift[copctl & 7] : 0;
}

static void restart_cop(void) {
  cop_period = cop_period_of((uint8_t)ReadByte(COPCTL));
  cop_scaled = 0;
  cop_armed = 0;
  update_callback();
}

static void reset_registers(void);

/* A COP reset: the CPU starts again at the word of the COP vector, the
 * page registers and the CRG's own registers at their reset values. */
static void cop_reset(void) {
  ++cop_resets;
  reset_registers();
  flags = 0; /* not a power-on reset */
  WriteByte(CRGFLG, visible_flags());
  WriteByte(0x30, 0xFE); /* PPAGE, RPAGE, EPAGE (the page mirror sets the registers) */
  WriteByte(0x16, 0xFD);
  WriteByte(0x17, 0xFE);
  WriteNamedRegister("ccr", 0xD0);
  WriteNamedRegister("pc", ReadWord(0x7FC000 + (COP_VECTOR & 0x3FFF)));
}

static int64_t ns_between(const struct timespec* from, const struct timespec* to) {
  return (int64_t)(to->tv_sec - from->tv_sec) * 1000000000 + (to->tv_nsec - from->tv_nsec);
}

/* A run begins: time counts from here (the cycle counter may have been
 * changed between runs). */
static void on_status(uint32_t running) {
  if (!running) return;
  last_cycles = GetCycleCount();
  paced_cycles = last_cycles;
  paced_ns = 0;
  clock_gettime(CLOCK_MONOTONIC, &run_began);
}

/* Waits while the simulated time is ahead of the time since the run began. */
static void pace(uint32_t cycles, uint32_t num, uint32_t den) {
  const uint32_t bus = cycles - paced_cycles;
  struct timespec now;
  if ((uint64_t)bus * num * 1000 < (uint64_t)osc_hz * den) return; /* less than 1 ms simulated */
  paced_cycles = cycles;
  paced_ns += (uint64_t)((double)bus * num * 1e9 / ((double)osc_hz * den));
  clock_gettime(CLOCK_MONOTONIC, &now);
  const int64_t ahead = (int64_t)paced_ns - ns_between(&run_began, &now);
  if (ahead > 0) {
    const struct timespec wait = {(time_t)(ahead / 1000000000), (long)(ahead % 1000000000)};
    nanosleep(&wait, NULL);
  }
}

static void on_cycles(uint32_t cycles) {
  const uint32_t bus = cycles - last_cycles;
  uint32_t num = 2, den = 1; /* oscillator cycles per bus cycle = num/den */
  last_cycles = cycles;
  if (ReadByte(CLKSEL) & PLLSEL) {
    num = (ReadByte(REFDV) & 0x3F) + 1u;
    den = (ReadByte(SYNR) & 0x3F) + 1u;
  }
  if (realtime) pace(cycles, num, den);
  if (cop_period) {
    cop_scaled += (uint64_t)bus * num;
    if (cop_reset_due || cop_scaled >= (uint64_t)cop_period * den) {
      cop_reset_due = 0;
      cop_reset();
      return;
    }
  }
  if (!rti_period) return;
  osc_scaled += (uint64_t)bus * num;
  while (osc_scaled >= (uint64_t)rti_period * den) {
    osc_scaled -= (uint64_t)rti_period * den;
    ++rti_count;
    flags |= RTIF;
    WriteByte(CRGFLG, visible_flags()); /* raw: no hook of ours runs */
    if (ReadByte(CRGINT) & RTIE) RaiseInterrupt(RTI_VECTOR);
  }
}

/* A write to ARMCOP: 0x55 then 0xAA restarts the COP; anything else, or a
 * write in the closed window, resets after the instruction. */
static void serve_cop(uint8_t value) {
  const uint32_t den = (ReadByte(CLKSEL) & PLLSEL) ? (ReadByte(SYNR) & 0x3F) + 1u : 1u;
  WriteByte(ARMCOP, 0); /* reads 0 */
  if (!cop_period) return;
  if ((ReadByte(COPCTL) & WCOP) && cop_scaled < (uint64_t)cop_period * den / 4 * 3) value = 0;
  if (value == 0x55) {
    cop_armed = 1;
  } else if (value == 0xAA && cop_armed) {
    cop_armed = 0;
    cop_scaled = 0;
  } else if (value != 0xAA) {
    cop_reset_due = 1;
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
    if (address == COPCTL) restart_cop();
    if (address == ARMCOP) serve_cop(written);
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
  WriteByte(COPCTL, 0);
  WriteByte(ARMCOP, 0);
  flags = 0x40; /* PORF: power on reset */
  rti_count = 0;
  WriteByte(CRGFLG, visible_flags());
  cop_reset_due = 0;
  restart_cop();
  restart_rti();
}

static void on_reset(uint32_t unused) {
  (void)unused;
  cop_resets = 0;
  reset_registers();
}

static TavHandle hook_flags, hook_rti, hook_cop;

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  reset_registers();
  hook_flags = RegisterMemHook(CRGFLG, 1, 3, 0, on_access);  /* reads see LOCK; writes clear flags */
  hook_rti = RegisterMemHook(RTICTL, 1, 2, 0, on_access);    /* a new RTI rate restarts the RTI */
  hook_cop = RegisterMemHook(COPCTL, 4, 2, 0, on_access);    /* COPCTL and ARMCOP */
  RegisterResetFunction(on_reset);
  RegisterStatusFunction(on_status);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  UnRegisterMemHook(hook_flags);
  UnRegisterMemHook(hook_rti);
  UnRegisterMemHook(hook_cop);
  if (tick_cb) UnRegisterCBFunction(tick_cb);
  tick_cb = NULL;
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[200];
  const char* rest = line + 3;
  while (*rest == ' ' || *rest == '\t') ++rest;
  if (strncmp(rest, "oscillator", 10) == 0) {
    char* end = NULL;
    const unsigned long hz = strtoul(rest + 10, &end, 0);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end != rest + 10 && end && !*end && hz >= 1000 && hz <= 100000000) osc_hz = (uint32_t)hz;
    else if (rest[10]) say("crg: usage: crg oscillator <1000 to 100000000 Hz>");
    snprintf(text, sizeof text, "crg: oscillator %u Hz", (unsigned)osc_hz);
    say(text);
    return 1;
  }
  if (strncmp(rest, "realtime", 8) == 0) {
    rest += 8;
    while (*rest == ' ' || *rest == '\t') ++rest;
    if (strcmp(rest, "on") == 0 || strcmp(rest, "off") == 0) {
      realtime = rest[1] == 'n';
      on_status(1);
      update_callback();
    } else if (*rest) {
      say("crg: usage: crg realtime on|off");
    }
    say(realtime ? "crg: realtime on" : "crg: realtime off");
    return 1;
  }
  snprintf(text, sizeof text, "crg: rti period %u oscillator cycles, %u periods, flags 0x%02x, cop period %u, %u cop resets",
           (unsigned)rti_period, (unsigned)rti_count, (unsigned)visible_flags(), (unsigned)cop_period,
           (unsigned)cop_resets);
  say(text);
  return 1;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X CRG: PLL lock, real-time interrupt and COP watchdog"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models CRGFLG (LOCK, write-one-to-clear flags), the RTI (RTICTL, RTIF, RTIE, vector 0xFFF0) and the "
         "COP watchdog (COPCTL, ARMCOP 0x55/0xAA, reset through 0xFFFA). crg: shows the RTI and COP state; "
         "crg realtime on|off: runs at simulated wall-clock speed; crg oscillator <hz>: the crystal (8 MHz)";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "crg"; }
