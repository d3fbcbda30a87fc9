/* The S12X analog-to-digital converters ATD0 (8 channels, from 0x02C0) and
 * ATD1 (16 channels, from 0x0080) as an extension.
 *
 * Registers (MC9S12XDP512): ATDCTL0 (WRAP), ATDCTL2 (ADPU AFFC ... ASCIE
 * ASCIF), ATDCTL3 (S8C S4C S2C S1C: sequence length), ATDCTL4 (SRES8, SMP,
 * PRS), ATDCTL5 (DJM DSGN SCAN MULT, first channel; writing starts a
 * sequence), ATDSTAT0 (SCF write one to clear, CC), ATDSTAT2/ATDSTAT1 (CCF15..8,
 * CCF7..0), ATDDR0..ATDDR15.
 * One conversion takes (2 + sample time 2/4/8/16 + 10 or 8) ATD clocks of
 * 2 x (PRS+1) bus cycles. Result k of a sequence goes to ATDDRk (left or
 * right justified, 10 or 8 bits, DSGN flips the sign bit when left
 * justified) and sets CCFk; the last one sets SCF (and ASCIF with ASCIE).
 * With AFFC a result read clears its CCF and SCF; without, a status read
 * that saw CCFk set, then reading ATDDRk, clears CCFk.
 * The completion interrupt (0xFFD2 ATD0, 0xFFD0 ATD1) is a level: raised
 * after each instruction while SCF and ASCIE are set and the CPU has I clear.
 * Channel inputs (10-bit counts) come from "atdN set" or a stimulus file of
 * "cycles,channel,value" lines; the value in effect when a conversion ends
 * is its result. The per-instruction callback runs only during a sequence
 * or while the interrupt is active.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum { CTL0 = 0, CTL2 = 2, CTL3 = 3, CTL4 = 4, CTL5 = 5, STAT0 = 6, STAT2 = 0xA, STAT1 = 0xB, DR0 = 0x10 };
enum { ADPU = 0x80, AFFC = 0x40, ASCIE = 0x02, ASCIF = 0x01 };     /* ATDCTL2 */
enum { SRES8 = 0x80 };                                             /* ATDCTL4 */
enum { DJM = 0x80, DSGN = 0x40, SCAN = 0x20, MULT = 0x10 };        /* ATDCTL5 */
enum { SCF = 0x80, STAT0_W1C = 0xB0 };                             /* ATDSTAT0: SCF ETORF FIFOR */
enum { CCR_I = 0x10, MAX_STIMULI = 100000 };

typedef struct {
  uint64_t time;
  uint8_t channel;
  uint16_t value;
} Stimulus;

typedef struct {
  const char* name;
  uint32_t base, vector, channels;
  uint16_t input[16];       /* channel values, 10-bit counts */
  uint16_t ccf, armed;      /* conversion complete flags; those a status read saw set */
  uint8_t stat0;            /* ATDSTAT0 */
  int running;              /* a sequence is converting */
  uint32_t done;            /* conversions of the current sequence */
  uint64_t now, next_end;
  uint32_t last_cycles, sequences;
  Stimulus* stimuli;
  size_t stimulus_count, stimulus_next;
  TavHandle tick_cb, hook;
} Atd;

static Atd atds[2] = {{.name = "atd0", .base = 0x2C0, .vector = 0xFFD2, .channels = 8},
                      {.name = "atd1", .base = 0x080, .vector = 0xFFD0, .channels = 16}};
static int loaded;

static uint8_t reg(const Atd* a, uint32_t r) { return (uint8_t)ReadByte(a->base + r); }

static uint32_t sequence_length(const Atd* a) {
  const uint32_t n = (reg(a, CTL3) >> 3) & 0x0F;
  return n == 0 || n > a->channels ? a->channels : n;
}

static uint32_t conversion_cycles(const Atd* a) {
  static const uint32_t sample[4] = {2, 4, 8, 16};
  const uint8_t ctl4 = reg(a, CTL4);
  const uint32_t atd_clocks = 2 + sample[(ctl4 >> 5) & 3] + ((ctl4 & SRES8) ? 8 : 10);
  return atd_clocks * 2 * ((ctl4 & 0x1F) + 1u);
}

static int irq_level(const Atd* a) { return (reg(a, CTL2) & ASCIE) && (a->stat0 & SCF); }

/* What the CPU sees: flags, conversion counter, ASCIF. */
static void show_flags(const Atd* a) {
  const uint8_t ctl2 = reg(a, CTL2);
  WriteByte(a->base + STAT0, a->stat0);
  WriteByte(a->base + STAT1, a->ccf & 0xFF);
  if (a->channels > 8) WriteByte(a->base + STAT2, a->ccf >> 8);
  WriteByte(a->base + CTL2, (ctl2 & (uint8_t)~ASCIF) | (irq_level(a) ? ASCIF : 0));
}

static void sync_time(Atd* a) {
  const uint32_t c = GetCycleCount(), d = c - a->last_cycles;
  if (d < 0x80000000u) a->now += d; /* else the counter was set back: no time passed */
  a->last_cycles = c;
}

static uint16_t justified(const Atd* a, uint16_t value) {
  const uint8_t ctl5 = reg(a, CTL5);
  const int eight = reg(a, CTL4) & SRES8;
  uint16_t r = eight ? (uint16_t)(value >> 2) : value;
  if (ctl5 & DJM) return r;
  r = (uint16_t)(r << (eight ? 8 : 6));
  return (ctl5 & DSGN) ? (uint16_t)(r ^ 0x8000) : r;
}

static void apply_stimuli(Atd* a, uint64_t until) {
  while (a->stimulus_next < a->stimulus_count && a->stimuli[a->stimulus_next].time <= until) {
    const Stimulus* s = &a->stimuli[a->stimulus_next++];
    a->input[s->channel] = s->value;
  }
}

static void finish_conversion(Atd* a, uint64_t at) {
  const uint8_t ctl5 = reg(a, CTL5);
  const uint32_t wrap = a->channels > 8 ? (reg(a, CTL0) & 0x0F) : 7;
  const uint32_t first = ctl5 & (a->channels - 1), n = sequence_length(a), k = a->done;
  uint32_t channel = first;
  if (ctl5 & MULT) {
    uint32_t i;
    for (i = 0; i < k; ++i) channel = channel >= wrap ? 0 : channel + 1;
  }
  apply_stimuli(a, at);
  WriteWord(a->base + DR0 + 2 * k, justified(a, a->input[channel]));
  a->ccf |= (uint16_t)(1u << k);
  a->done = k + 1;
  if (a->done >= n) {
    a->stat0 |= SCF;
    ++a->sequences;
    a->done = 0;
    if (!(ctl5 & SCAN)) a->running = 0;
  }
  a->stat0 = (uint8_t)((a->stat0 & 0xF0) | (a->done & 0x0F));
  a->next_end = at + conversion_cycles(a);
}

static void advance(Atd* a) {
  while (a->running && a->now >= a->next_end) finish_conversion(a, a->next_end);
  show_flags(a);
}

static void on_cycles(uint32_t cycles, uint32_t index);

static void follow(Atd* a) {
  const int needed = loaded && (a->running || irq_level(a));
  if (needed && !a->tick_cb) {
    a->last_cycles = GetCycleCount();
    a->tick_cb = RegisterCBParamFunction(on_cycles, (uint32_t)(a - atds));
  } else if (!needed && a->tick_cb) {
    UnRegisterCBFunction(a->tick_cb);
    a->tick_cb = NULL;
  }
}

static void on_cycles(uint32_t cycles, uint32_t index) {
  Atd* a = &atds[index & 1];
  (void)cycles;
  sync_time(a);
  advance(a);
  if (irq_level(a) && !(ReadNamedRegister("ccr") & CCR_I)) RaiseInterrupt(a->vector);
  follow(a);
}

static void clear_scf(Atd* a) { a->stat0 &= (uint8_t)~SCF; }

static void on_access(uint32_t address, int32_t size, int32_t access, uint32_t index) {
  Atd* a = &atds[index & 1];
  const uint32_t first = address - a->base, last = first + (uint32_t)(size > 0 ? size : 1) - 1;
  uint32_t r;
  sync_time(a);
  advance(a);
  for (r = first; r <= last; ++r) {
    if (access == 1) {
      if (r == STAT1) a->armed |= a->ccf & 0xFF;
      if (r == STAT2) a->armed |= a->ccf & 0xFF00;
      if (r >= DR0 && r < DR0 + 2 * a->channels) {
        const uint16_t bit = (uint16_t)(1u << ((r - DR0) / 2));
        if (reg(a, CTL2) & AFFC) {
          a->ccf &= (uint16_t)~bit;
          clear_scf(a);
        } else if (a->armed & bit) {
          a->ccf &= (uint16_t)~bit;
          a->armed &= (uint16_t)~bit;
        }
      }
    } else {
      if (r == STAT0) a->stat0 &= (uint8_t)~(reg(a, STAT0) & STAT0_W1C);
      if (r == CTL2 && !(reg(a, CTL2) & ADPU)) a->running = 0;
      if (r == CTL5) { /* a new sequence; the flags of the old one are gone */
        a->ccf = a->armed = 0;
        a->stat0 &= (uint8_t)~(SCF | 0x0F);
        a->done = 0;
        a->running = (reg(a, CTL2) & ADPU) != 0;
        a->next_end = a->now + conversion_cycles(a);
      }
    }
  }
  show_flags(a);
  follow(a);
}

static void reset_atd(Atd* a) {
  uint32_t r;
  for (r = 0; r < DR0 + 2 * a->channels; ++r) WriteByte(a->base + r, 0);
  WriteByte(a->base + CTL0, a->channels > 8 ? 0x0F : 0x07);
  WriteByte(a->base + CTL3, 0x20);
  WriteByte(a->base + CTL4, 0x05);
  a->ccf = a->armed = 0;
  a->stat0 = 0;
  a->running = 0;
  a->done = a->sequences = 0;
  a->last_cycles = GetCycleCount();
  a->now = a->last_cycles;
  a->stimulus_next = 0;
  show_flags(a);
  follow(a);
}

static void on_reset(uint32_t unused) {
  (void)unused;
  if (!loaded) return;
  reset_atd(&atds[0]);
  reset_atd(&atds[1]);
}

static int compare_time(const void* x, const void* y) {
  const Stimulus *p = x, *q = y;
  return p->time < q->time ? -1 : p->time > q->time;
}

/* Reads "cycles,channel,value" lines; blank lines and lines that do not
 * begin with a digit (comments, a heading) are skipped. */
static void load_stimuli(Atd* a, const char* file) {
  char line[200], text[300];
  size_t n = 0, number = 0;
  Stimulus* list;
  FILE* f = fopen(file, "r");
  if (!f) {
    snprintf(text, sizeof text, "%s: can't read file %s", a->name, file);
    say(text);
    return;
  }
  list = malloc(sizeof *list * MAX_STIMULI);
  while (list && n < MAX_STIMULI && fgets(line, sizeof line, f)) {
    unsigned long long time;
    unsigned channel;
    int value;
    ++number;
    if (line[0] < '0' || line[0] > '9') continue;
    if (sscanf(line, "%llu , %u , %i", &time, &channel, &value) != 3 || channel >= a->channels || value < 0 || value > 1023) {
      snprintf(text, sizeof text, "%s: %s line %u: expected cycles,channel (0-%u),value (0-1023)", a->name, file,
               (unsigned)number, (unsigned)a->channels - 1);
      say(text);
      continue;
    }
    list[n].time = time;
    list[n].channel = (uint8_t)channel;
    list[n].value = (uint16_t)value;
    ++n;
  }
  fclose(f);
  if (!list) return;
  qsort(list, n, sizeof *list, compare_time);
  free(a->stimuli);
  a->stimuli = list;
  a->stimulus_count = n;
  a->stimulus_next = 0;
  apply_stimuli(a, a->now);
  snprintf(text, sizeof text, "%s: %u stimuli", a->name, (unsigned)n);
  say(text);
}

static void show(const Atd* a) {
  char text[500];
  size_t n;
  uint32_t c;
  n = (size_t)snprintf(text, sizeof text, "%s: %s, %u conversions of %u bus cycles, %u sequences, ATDSTAT0 0x%02x, "
                       "CCF 0x%04x, inputs", a->name, a->running ? "converting" : "idle",
                       (unsigned)sequence_length(a), (unsigned)conversion_cycles(a), (unsigned)a->sequences,
                       (unsigned)a->stat0, (unsigned)a->ccf);
  for (c = 0; c < a->channels && n < sizeof text - 8; ++c)
    n += (size_t)snprintf(text + n, sizeof text - n, " %u", (unsigned)a->input[c]);
  say(text);
}

static void command(Atd* a, const char* args) {
  char text[300];
  if (!*args) {
    show(a);
  } else if (strncmp(args, "set ", 4) == 0) {
    unsigned channel;
    int value;
    if (sscanf(args + 4, "%u %i", &channel, &value) != 2 || channel >= a->channels || value < 0 || value > 1023) {
      snprintf(text, sizeof text, "%s: set <channel 0-%u> <value 0-1023>", a->name, (unsigned)a->channels - 1);
      say(text);
      return;
    }
    a->input[channel] = (uint16_t)value;
  } else if (strncmp(args, "stimulus ", 9) == 0) {
    load_stimuli(a, args + 9);
  } else {
    snprintf(text, sizeof text, "%s: unknown option %s (set <channel> <value>, stimulus <file>)", a->name, args);
    say(text);
  }
}

TAV_EXTENSION int CallExtension(const char* line) {
  const char* p = line + 3; /* after "atd" */
  if (*p == '0' || *p == '1') {
    Atd* a = &atds[*p - '0'];
    ++p;
    while (*p == ' ' || *p == '\t') ++p;
    command(a, p);
  } else {
    show(&atds[0]);
    show(&atds[1]);
  }
  return 1;
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  int i;
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  loaded = 1;
  for (i = 0; i < 2; ++i) {
    reset_atd(&atds[i]);
    atds[i].hook = RegisterMemHook(atds[i].base, DR0 + 2 * atds[i].channels, 3, (uint32_t)i, on_access);
  }
  RegisterResetFunction(on_reset);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  int i;
  for (i = 0; i < 2; ++i) {
    Atd* a = &atds[i];
    UnRegisterMemHook(a->hook);
    if (a->tick_cb) UnRegisterCBFunction(a->tick_cb);
    a->tick_cb = NULL;
    free(a->stimuli);
    a->stimuli = NULL;
    a->stimulus_count = a->stimulus_next = 0;
  }
  loaded = 0;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X ATD0/ATD1: analog-to-digital converters"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models ATD0 (0x02C0, 8 channels) and ATD1 (0x0080, 16 channels): timed conversion sequences, "
         "flags, interrupts. atd0/atd1: state; set <channel> <value>; stimulus <file of cycles,channel,value>";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "atd"; }
TAV_EXTENSION const char* GetCommandOptions(void) { return "atd0|atd1 [set <channel> <value>|stimulus <file>]"; }
