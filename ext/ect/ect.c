/* The S12X enhanced capture timer (ECT) as an extension: the free-running
 * counter, output compare with pin actions, input capture, flags and
 * interrupts of its eight channels.
 *
 * Registers (MC9S12XDP512, from 0x0040): TIOS (1: output compare), CFORC
 * (force the compare action, reads 0), OC7M/OC7D (channel 7 drives the
 * pins of OC7M to OC7D), TCNT, TSCR1 (TEN, TFFCA), TCTL1/TCTL2 (OMn:OLn:
 * 1 toggle, 2 clear, 3 set the pin), TCTL3/TCTL4 (EDGnB:EDGnA: 1 rising,
 * 2 falling, 3 any edge), TIE, TSCR2 (TOI, TCRE, PR), TFLG1, TFLG2 (TOF),
 * TC0..TC7.
 * TCNT counts every 2^PR bus cycles while TEN is set. When it becomes equal
 * to TCn of an output compare channel, CnF is set and the pin action runs;
 * with TCRE the counter goes from TC7 to 0 (no TOF), else from 0xFFFF to 0
 * setting TOF. TFLG1 and TFLG2 clear by writing one; with TFFCA a read of an
 * input capture TCn, a write of an output compare TCn, or any TCNT access
 * clears the flag instead. Interrupts are levels: channel n at 0xFFEE - 2n
 * (CnF and TIE bit n), overflow at 0xFFDE (TOF and TOI), raised after each
 * instruction while active and the CPU has I clear.
 * Edges for input capture come from "ect capture <ch>". The per-instruction
 * callback runs only while the counter runs or an interrupt is active.
 */
#include <stdio.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum {
  BASE = 0x40, TIOS = 0x00, CFORC = 0x01, OC7M = 0x02, OC7D = 0x03, TCNT = 0x04, TSCR1 = 0x06, TCTL1 = 0x08,
  TCTL2 = 0x09, TCTL3 = 0x0A, TCTL4 = 0x0B, TIE = 0x0C, TSCR2 = 0x0D, TFLG1 = 0x0E, TFLG2 = 0x0F, TC0 = 0x10,
  SIZE = 0x20
};
enum { TEN = 0x80, TFFCA = 0x10, TOI = 0x80, TCRE = 0x08, TOF = 0x80, CCR_I = 0x10 };
enum { OVERFLOW_VECTOR = 0xFFDE, CHANNEL0_VECTOR = 0xFFEE };

static uint16_t tcnt;
static uint32_t sub_cycles;      /* bus cycles into the present tick */
static uint32_t until_event;     /* ticks until the next compare, reset or overflow (0: work it out) */
static uint8_t flags1, flags2;   /* TFLG1, TFLG2 */
static uint8_t pins;             /* the timer port's pin levels */
static uint32_t events[8], overflows;
static uint32_t last_cycles;
static int counting;             /* TEN as of the last access: time before it was set does not count */
static uint32_t prescale_shift;  /* PR as of the last access */
static TavHandle tick_cb, hook;
static int loaded;

static uint8_t reg(uint32_t r) { return (uint8_t)ReadByte(BASE + r); }
static uint16_t tc(int n) { return (uint16_t)ReadWord(BASE + TC0 + 2u * (uint32_t)n); }
static int running(void) { return (reg(TSCR1) & TEN) != 0; }

static int irq_level(void) { return (flags1 & reg(TIE)) || ((flags2 & TOF) && (reg(TSCR2) & TOI)); }

static void pin_action(int n) {
  const uint8_t ctl = reg(n >= 4 ? TCTL1 : TCTL2), bit = (uint8_t)(1u << n);
  switch ((ctl >> ((n & 3) * 2)) & 3) {
    case 1: pins ^= bit; break;
    case 2: pins &= (uint8_t)~bit; break;
    case 3: pins |= bit; break;
    default: break;
  }
}

static void compare(int n) {
  flags1 |= (uint8_t)(1u << n);
  ++events[n];
  pin_action(n);
  if (n == 7) pins = (uint8_t)((pins & ~reg(OC7M)) | (reg(OC7D) & reg(OC7M)));
}

/* Ticks from the present count to the next thing that happens. */
static uint32_t ticks_to_event(void) {
  const uint8_t tios = reg(TIOS);
  const int reset = (reg(TSCR2) & TCRE) != 0;
  uint32_t best = 0x10000u - tcnt, n;
  if (reset && tcnt == tc(7)) return 1;
  for (n = 0; n < 8; ++n) {
    if ((tios >> n & 1) || (reset && n == 7)) {
      uint32_t d = (uint32_t)(uint16_t)(tc((int)n) - tcnt);
      if (d == 0) d = 0x10000u;
      if (d < best) best = d;
    }
  }
  return best;
}

static void one_tick(void) {
  const uint8_t tios = reg(TIOS);
  int n;
  if ((reg(TSCR2) & TCRE) && tcnt == tc(7)) {
    tcnt = 0;
  } else if (++tcnt == 0) {
    flags2 |= TOF;
    ++overflows;
  }
  for (n = 0; n < 8; ++n)
    if ((tios >> n & 1) && tc(n) == tcnt) compare(n);
}

static void count(uint32_t ticks) {
  while (ticks) {
    if (!until_event) until_event = ticks_to_event();
    if (ticks < until_event) {
      tcnt = (uint16_t)(tcnt + ticks);
      until_event -= ticks;
      return;
    }
    tcnt = (uint16_t)(tcnt + until_event - 1);
    ticks -= until_event;
    until_event = 0;
    one_tick();
  }
}

/* Brings the counter up to the present. */
static void sync_time(void) {
  const uint32_t c = GetCycleCount(), d = c - last_cycles;
  last_cycles = c;
  if (d >= 0x80000000u || !counting) return; /* the cycle counter was set back, or the timer stands */
  sub_cycles += d;
  {
    const uint32_t ticks = sub_cycles >> prescale_shift;
    sub_cycles &= (1u << prescale_shift) - 1u;
    if (ticks) count(ticks);
  }
}

static void follow_settings(void) {
  counting = running();
  prescale_shift = reg(TSCR2) & 7u;
}

static void show_registers(void) {
  WriteWord(BASE + TCNT, tcnt);
  WriteByte(BASE + TFLG1, flags1);
  WriteByte(BASE + TFLG2, flags2);
  WriteByte(BASE + CFORC, 0);
}

static void on_cycles(uint32_t cycles);

static void follow(void) {
  const int needed = loaded && (running() || irq_level());
  if (needed && !tick_cb) {
    tick_cb = RegisterCBFunction(on_cycles);
  } else if (!needed && tick_cb) {
    UnRegisterCBFunction(tick_cb);
    tick_cb = NULL;
  }
}

static void raise_active(void) {
  const uint8_t active = flags1 & reg(TIE);
  int n;
  if (ReadNamedRegister("ccr") & CCR_I) return;
  for (n = 0; n < 8; ++n)
    if (active >> n & 1) RaiseInterrupt(CHANNEL0_VECTOR - 2u * (uint32_t)n);
  if ((flags2 & TOF) && (reg(TSCR2) & TOI)) RaiseInterrupt(OVERFLOW_VECTOR);
}

static void on_cycles(uint32_t cycles) {
  const uint8_t before1 = flags1, before2 = flags2;
  (void)cycles;
  sync_time();
  if (flags1 != before1 || flags2 != before2) show_registers();
  if (irq_level()) raise_active();
  follow();
}

static void on_access(uint32_t address, int32_t size, int32_t access, uint32_t parameter) {
  const uint32_t first = address - BASE, last = first + (uint32_t)(size > 0 ? size : 1) - 1;
  const int fast_clear = (reg(TSCR1) & TFFCA) != 0;
  uint32_t r;
  (void)parameter;
  sync_time();
  for (r = first; r <= last && r < SIZE; ++r) {
    const int channel = r >= TC0 ? (int)(r - TC0) / 2 : -1;
    const int output = channel >= 0 && (reg(TIOS) >> channel & 1);
    if (fast_clear && (r == TCNT || r == TCNT + 1)) flags2 &= (uint8_t)~TOF;
    if (fast_clear && channel >= 0 && (access == 1) != output) flags1 &= (uint8_t)~(1u << channel);
    if (access != 2) continue;
    if (r == TFLG1) flags1 &= (uint8_t)~reg(TFLG1);
    if (r == TFLG2) flags2 &= (uint8_t)~(reg(TFLG2) & TOF);
    if (r == CFORC) {
      const uint8_t forced = reg(CFORC) & reg(TIOS);
      int n;
      for (n = 0; n < 8; ++n)
        if (forced >> n & 1) pin_action(n);
    }
    if (r == TSCR1 && !running()) sub_cycles = 0;
  }
  if (access == 2) until_event = 0; /* a compare value, TIOS or the prescaler may have changed */
  follow_settings();
  show_registers();                 /* TCNT writes have no effect: the count shows again */
  follow();
}

static void reset_ect(uint32_t unused) {
  uint32_t r;
  (void)unused;
  if (!loaded) return;
  for (r = 0; r < SIZE; ++r) WriteByte(BASE + r, 0);
  tcnt = 0;
  sub_cycles = until_event = 0;
  flags1 = flags2 = pins = 0;
  overflows = 0;
  for (r = 0; r < 8; ++r) events[r] = 0;
  last_cycles = GetCycleCount();
  follow_settings();
  show_registers();
  follow();
}

/* An edge on an input capture pin: "ect capture <ch> [rising|falling]"
 * (without a direction the pin changes level). */
static void capture(const char* args) {
  char text[200], direction[16] = "";
  unsigned n;
  int rising, mode;
  if (sscanf(args, "%u %15s", &n, direction) < 1 || n > 7 ||
      (*direction && strcmp(direction, "rising") != 0 && strcmp(direction, "falling") != 0)) {
    say("ect: capture <channel 0-7> [rising|falling]");
    return;
  }
  sync_time();
  rising = *direction ? strcmp(direction, "rising") == 0 : !(pins >> n & 1);
  if (rising) pins |= (uint8_t)(1u << n);
  else pins &= (uint8_t)~(1u << n);
  mode = (reg(n >= 4 ? TCTL3 : TCTL4) >> ((n & 3) * 2)) & 3;
  if (!(reg(TIOS) >> n & 1) && (mode == 3 || mode == (rising ? 1 : 2))) {
    WriteWord(BASE + TC0 + 2 * n, tcnt);
    flags1 |= (uint8_t)(1u << n);
    ++events[n];
  }
  show_registers();
  follow();
  snprintf(text, sizeof text, "ect: %s edge on channel %u at TCNT 0x%04x", rising ? "rising" : "falling", n,
           (unsigned)tcnt);
  say(text);
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[300];
  const char* p = line + 3; /* after "ect" */
  while (*p == ' ' || *p == '\t') ++p;
  if (strncmp(p, "capture", 7) == 0) {
    capture(p + 7);
    return 1;
  }
  if (*p) {
    say("ect: unknown option (capture <channel> [rising|falling])");
    return 1;
  }
  sync_time();
  snprintf(text, sizeof text,
           "ect: %s, TCNT 0x%04x, %u bus cycles a tick, TFLG1 0x%02x, TFLG2 0x%02x, pins 0x%02x, %u overflows",
           running() ? "on" : "off", (unsigned)tcnt, 1u << (reg(TSCR2) & 7), (unsigned)flags1, (unsigned)flags2,
           (unsigned)pins, (unsigned)overflows);
  say(text);
  snprintf(text, sizeof text, "ect: events per channel %u %u %u %u %u %u %u %u", (unsigned)events[0],
           (unsigned)events[1], (unsigned)events[2], (unsigned)events[3], (unsigned)events[4], (unsigned)events[5],
           (unsigned)events[6], (unsigned)events[7]);
  say(text);
  return 1;
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  loaded = 1;
  reset_ect(0);
  hook = RegisterMemHook(BASE, SIZE, 3, 0, on_access);
  RegisterResetFunction(reset_ect);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  UnRegisterMemHook(hook);
  if (tick_cb) UnRegisterCBFunction(tick_cb);
  tick_cb = NULL;
  loaded = 0;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X ECT: timer, output compare, input capture"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models the ECT at 0x0040: TCNT with prescaler, output compare with pin actions, input capture, "
         "flags, interrupts. ect: state and pins; ect capture <channel> [rising|falling]: an input edge";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "ect"; }
TAV_EXTENSION const char* GetCommandOptions(void) { return "ect [capture <channel> [rising|falling]]"; }
