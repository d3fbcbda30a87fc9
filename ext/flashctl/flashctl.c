/* The S12X flash and EEPROM controllers as an extension (MC9S12XDP512:
 * 512 KB flash in four 128 KB blocks, 4 KB EEPROM).
 *
 * Each controller has the same register block: CLKDIV +0 (FDIVLD, PRDIV8,
 * FDIV; written once), CNFG +3 (CBEIE, CCIE, BKSEL), PROT +4, STAT +5 (CBEIF,
 * CCIF, PVIOL, ACCERR, BLANK), CMD +6, ADDR +8, DATA +10; the flash's at
 * 0x100, the EEPROM's at 0x110. A command is a word written to the array,
 * the command written to CMD, and CBEIF written with 1 to launch it. Out of
 * order, before CLKDIV was written, or with a byte or odd-address array
 * write, ACCERR is set; with PROT.FPOPEN clear, PVIOL. While the command runs
 * CBEIF and CCIF read 0; at its end both read 1 and the interrupt of the
 * controller (flash 0xFFB8, EEPROM 0xFFBA) is raised when CBEIE or CCIE asks.
 * Commands: 0x05 erase verify (BLANK when the block reads all 0xFF), 0x20
 * word program, 0x40 sector erase, 0x41 mass erase (the block), for the
 * EEPROM also 0x47 sector erase abort and 0x60 sector modify. Erased bytes
 * read 0xFF. Durations count the flash clock FCLK = oscillator / (PRDIV8 ? 8
 * : 1) / (FDIV+1), the bus clock taken from the CRG's registers.
 *
 * The array write reaches memory before the controller sees it (as on
 * memory without a controller), so word program leaves the word written,
 * and erase verify takes the word it was given as erased when the rest of
 * the block is (and makes it read 0xFFFF again).
 *
 * Command "flashctl": each controller's registers, last command and count.
 * The per-instruction callback is registered only while a command runs.
 */
#include <stdio.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum { CLKDIV = 0, CNFG = 3, PROT = 4, STAT = 5, CMD = 6, ADDR = 8, DATA = 10, BLOCK_REGS = 12 };
enum { FDIVLD = 0x80, PRDIV8 = 0x40, CBEIE = 0x80, CCIE = 0x40, FPOPEN = 0x80,
       CBEIF = 0x80, CCIF = 0x40, PVIOL = 0x20, ACCERR = 0x10, BLANK = 0x04 };
enum { ERASE_VERIFY = 0x05, WORD_PROGRAM = 0x20, SECTOR_ERASE = 0x40, MASS_ERASE = 0x41,
       SECTOR_ABORT = 0x47, SECTOR_MODIFY = 0x60 };
enum { IDLE, ARRAY_WRITTEN, COMMAND_WRITTEN };
/* Command times in flash clock cycles: about 45 us, 20 ms and 100 ms at 200 kHz. */
enum { PROGRAM_FCLK = 9, SECTOR_FCLK = 4000, MASS_FCLK = 20000 };

struct controller {
  const char* name;
  uint32_t regs, array, array_size, block_size, sector, vector;
  const char* commands; /* the commands it knows */
  /* state */
  uint8_t clkdiv, cnfg, prot, stat, command;
  int stage;
  uint32_t address;     /* the latched word */
  uint16_t data;
  uint32_t busy;        /* bus cycles until the running command ends, 0: idle */
  uint32_t completed;
  TavHandle hook_regs, hook_array;
};

static struct controller units[2] = {
  {.name = "flash", .regs = 0x100, .array = 0x780000, .array_size = 0x80000, .block_size = 0x20000,
   .sector = 0x400, .vector = 0xFFB8, .commands = "\x05\x20\x40\x41"},
  {.name = "eeprom", .regs = 0x110, .array = 0x13F000, .array_size = 0x1000, .block_size = 0x1000,
   .sector = 4, .vector = 0xFFBA, .commands = "\x05\x20\x40\x41\x47\x60"},
};
static TavHandle tick_cb;
static uint32_t last_cycles;

static void show(struct controller* c) {
  WriteByte(c->regs + CLKDIV, c->clkdiv);
  WriteByte(c->regs + CNFG, c->cnfg);
  WriteByte(c->regs + PROT, c->prot);
  WriteByte(c->regs + STAT, c->stat);
  WriteByte(c->regs + CMD, c->command);
  WriteWord(c->regs + ADDR, (uint16_t)c->address);
  WriteWord(c->regs + DATA, c->data);
}

static void raise_if_asked(struct controller* c) {
  if (((c->cnfg & CBEIE) && (c->stat & CBEIF)) || ((c->cnfg & CCIE) && (c->stat & CCIF))) RaiseInterrupt(c->vector);
}

static void fail(struct controller* c, uint8_t flag) {
  c->stat |= flag;
  c->stage = IDLE;
}

/* Bus cycles per flash clock cycle x fclk, from the CRG's clock settings. */
static uint32_t bus_cycles(const struct controller* c, uint32_t fclk) {
  const uint64_t osc = (uint64_t)fclk * ((c->clkdiv & PRDIV8) ? 8u : 1u) * ((c->clkdiv & 0x3Fu) + 1u);
  if (ReadByte(0x39) & 0x80) /* CLKSEL.PLLSEL: oscillator cycles per bus cycle (REFDV+1)/(SYNR+1) */
    return (uint32_t)(osc * ((ReadByte(0x34) & 0x3Fu) + 1u) / ((ReadByte(0x35) & 0x3Fu) + 1u));
  return (uint32_t)(osc / 2);
}

static void fill(uint32_t from, uint32_t count) {
  for (uint32_t a = from; a < from + count; ++a) WriteByte(a, 0xFF);
}

static uint32_t block_of(const struct controller* c) {
  return c->array + (c->address - c->array) / c->block_size * c->block_size;
}

static uint32_t sector_of(const struct controller* c) { return c->address & ~(c->sector - 1); }

/* Whether the block reads 0xFF everywhere but at the latched word, whose
 * old contents the array write replaced (see the top of the file). */
static int blank_but(uint32_t from, uint32_t count, uint32_t latched) {
  for (uint32_t a = from; a < from + count; ++a)
    if ((a & ~1u) != latched && ReadByte(a) != 0xFF) return 0; /* never-written memory reads 0: stops at once */
  return 1;
}

static void on_cycles(uint32_t cycles);

static void update_callback(void) {
  const int busy = units[0].busy || units[1].busy;
  if (busy && !tick_cb) {
    last_cycles = GetCycleCount();
    tick_cb = RegisterCBFunction(on_cycles);
  } else if (!busy && tick_cb) {
    UnRegisterCBFunction(tick_cb);
    tick_cb = NULL;
  }
}

static void launch(struct controller* c) {
  uint32_t fclk = PROGRAM_FCLK;
  if (c->command == SECTOR_ERASE) fclk = SECTOR_FCLK;
  if (c->command == SECTOR_MODIFY) fclk = SECTOR_FCLK + PROGRAM_FCLK;
  if (c->command == MASS_ERASE) fclk = MASS_FCLK;
  c->busy = bus_cycles(c, fclk);
  if (c->command == ERASE_VERIFY) c->busy = c->block_size / 2; /* a word per bus cycle */
  if (c->command == SECTOR_ABORT) c->busy = 1;
  if (c->busy == 0) c->busy = 1;
  c->stat &= (uint8_t)~(CBEIF | CCIF | BLANK);
  c->stage = IDLE;
  update_callback();
}

static void complete(struct controller* c) {
  switch (c->command) {
    case ERASE_VERIFY:
      if (blank_but(block_of(c), c->block_size, c->address)) {
        WriteWord(c->address, 0xFFFF); /* it was erased like the rest */
        c->stat |= BLANK;
      }
      break;
    case WORD_PROGRAM: WriteWord(c->address, c->data); break;
    case SECTOR_ERASE: fill(sector_of(c), c->sector); break;
    case MASS_ERASE: fill(block_of(c), c->block_size); break;
    case SECTOR_MODIFY:
      fill(sector_of(c), c->sector);
      WriteWord(c->address, c->data);
      break;
    default: break;
  }
  c->busy = 0;
  ++c->completed;
  c->stat |= CBEIF | CCIF;
  show(c);
  raise_if_asked(c);
}

static void on_cycles(uint32_t cycles) {
  const uint32_t elapsed = cycles - last_cycles;
  last_cycles = cycles;
  for (int i = 0; i < 2; ++i) {
    struct controller* c = &units[i];
    if (!c->busy) continue;
    if (elapsed >= c->busy) complete(c);
    else c->busy -= elapsed;
  }
  update_callback();
}

/* The word written to the array starts a command sequence. */
static void on_array(uint32_t address, int32_t size, int32_t access, uint32_t which) {
  struct controller* c = &units[which];
  (void)access;
  if (c->busy || !(c->stat & CBEIF) || (c->stat & (ACCERR | PVIOL))) return;
  if (!(c->clkdiv & FDIVLD) || c->stage != IDLE || size != 2 || (address & 1)) {
    fail(c, ACCERR);
  } else if (!(c->prot & FPOPEN)) {
    fail(c, PVIOL);
  } else {
    c->address = address;
    c->data = (uint16_t)ReadWord(address);
    c->stage = ARRAY_WRITTEN;
  }
  show(c);
}

static void write_register(struct controller* c, uint32_t offset, uint8_t value) {
  switch (offset) {
    case CLKDIV:
      if (!(c->clkdiv & FDIVLD)) c->clkdiv = (uint8_t)((value & 0x7F) | FDIVLD);
      break;
    case CNFG:
      c->cnfg = value;
      raise_if_asked(c);
      break;
    case PROT: c->prot = value; break;
    case STAT:
      c->stat &= (uint8_t)~(value & (PVIOL | ACCERR));
      if (!(value & CBEIF) || !(c->stat & CBEIF)) break;
      if (c->stage == COMMAND_WRITTEN) launch(c);
      else if (c->stage == ARRAY_WRITTEN) fail(c, ACCERR);
      break;
    case CMD:
      if (c->busy || (c->stat & (ACCERR | PVIOL))) break;
      if (c->stage != ARRAY_WRITTEN || value == 0 || !strchr(c->commands, value)) {
        fail(c, ACCERR);
      } else {
        c->command = value;
        c->stage = COMMAND_WRITTEN;
      }
      break;
    default: break; /* reserved and read-only registers keep their values */
  }
}

static void on_registers(uint32_t address, int32_t size, int32_t access, uint32_t which) {
  struct controller* c = &units[which];
  (void)access;
  for (int32_t k = 0; k < size; ++k) {
    const uint32_t offset = address + (uint32_t)k - c->regs;
    if (offset < BLOCK_REGS) write_register(c, offset, (uint8_t)ReadByte(address + (uint32_t)k));
  }
  show(c);
}

static void reset_unit(struct controller* c) {
  c->clkdiv = 0;
  c->cnfg = 0;
  c->prot = 0xFF;
  c->stat = CBEIF | CCIF;
  c->command = 0;
  c->stage = IDLE;
  c->address = 0;
  c->data = 0;
  c->busy = 0;
  c->completed = 0;
  for (uint32_t k = 0; k < BLOCK_REGS; ++k) WriteByte(c->regs + k, 0);
  show(c);
}

static void on_reset(uint32_t unused) {
  (void)unused;
  for (int i = 0; i < 2; ++i) reset_unit(&units[i]);
  update_callback();
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  for (uint32_t i = 0; i < 2; ++i) {
    struct controller* c = &units[i];
    reset_unit(c);
    c->hook_regs = RegisterMemHook(c->regs, BLOCK_REGS, 2, i, on_registers);
    c->hook_array = RegisterMemHook(c->array, c->array_size, 2, i, on_array);
  }
  RegisterResetFunction(on_reset);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  for (int i = 0; i < 2; ++i) {
    UnRegisterMemHook(units[i].hook_regs);
    UnRegisterMemHook(units[i].hook_array);
  }
  if (tick_cb) UnRegisterCBFunction(tick_cb);
  tick_cb = NULL;
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[240];
  (void)line;
  for (int i = 0; i < 2; ++i) {
    const struct controller* c = &units[i];
    snprintf(text, sizeof text,
             "%s: clkdiv 0x%02x stat 0x%02x, command 0x%02x at 0x%06x data 0x%04x, %u completed, busy %u cycles",
             c->name, (unsigned)c->clkdiv, (unsigned)c->stat, (unsigned)c->command, (unsigned)c->address,
             (unsigned)c->data, (unsigned)c->completed, (unsigned)c->busy);
    say(text);
  }
  return 1;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X flash and EEPROM controllers"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Command sequences of the flash (0x100) and EEPROM (0x110) controllers: erase verify, word program, "
         "sector and mass erase; erased bytes read 0xFF. flashctl: shows both controllers";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "flashctl"; }
