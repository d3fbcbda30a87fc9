/* The S12X serial communication interfaces SCI0 and SCI1 as an extension.
 *
 * Registers (MC9S12XDP512; SCI0 from 0x00C8, SCI1 from 0x00D0): SCIBDH/L
 * (13-bit baud divisor SBR), SCICR1 (M: 9 data bits), SCICR2 (TIE TCIE RIE
 * ILIE TE RE), SCISR1 (TDRE TC RDRF IDLE OR, read-only), SCISR2, SCIDRH,
 * SCIDRL (transmit data written, receive data read).
 * A frame takes (10 or 11 with M) x 16 x SBR bus cycles; transmit and
 * receive proceed by whole frames. SCISR1's flags are cleared the way the
 * chip clears them: a status read that saw the flag set, then a write
 * (TDRE, TC) or a read (RDRF, IDLE, OR) of SCIDRL.
 * The interrupt (0xFFD6 SCI0, 0xFFD4 SCI1) is a level: while an enabled
 * source is active and the CPU has I clear it is raised after each
 * instruction, so a handler that leaves its source active is entered again.
 *
 * Transmitted bytes go to the console (one line per line of text), a file
 * or a pseudo-terminal; received bytes come from that pseudo-terminal, a
 * file or the command "sciN send". The per-instruction callback is
 * registered only while a frame is on the way, input waits, a terminal is
 * attached to an enabled receiver, or the interrupt is active.
 */
#define _DEFAULT_SOURCE
#define _XOPEN_SOURCE 600
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "tav/extension.h"
#include "ext/common/say.h"

enum { SCIBDH, SCIBDL, SCICR1, SCICR2, SCISR1, SCISR2, SCIDRH, SCIDRL, REGS };
enum { M = 0x10 };                                                             /* SCICR1 */
enum { TIE = 0x80, TCIE = 0x40, RIE = 0x20, ILIE = 0x10, TE = 0x08, RE = 0x04 }; /* SCICR2 */
enum { TDRE = 0x80, TC = 0x40, RDRF = 0x20, IDLE = 0x10, OR = 0x08, RX_FLAGS = 0x3F };
enum { OUT_CONSOLE, OUT_FILE, OUT_PTY };
enum { CCR_I = 0x10 };

typedef struct {
  const char* name;
  uint32_t base, vector;
  uint8_t status;            /* SCISR1 */
  uint8_t armed;             /* SCISR1 flags a status read saw set; the next data access clears them */
  uint8_t rx_data;           /* what SCIDRL reads */
  int tx_full, shifting, receiving, idle_pending;
  uint8_t tx_buffer, tx_shift, rx_shift;
  uint64_t now, tx_end, rx_end, idle_at, next_poll;
  uint32_t last_cycles;
  unsigned char* input;      /* bytes waiting to be received */
  size_t in_len, in_pos, in_cap;
  int out;                   /* OUT_* */
  FILE* file;
  int pty;                   /* master side, -1 when none */
  int pty_slave;             /* kept open so the terminal keeps its raw settings */
  char pty_name[128];
  char pty_link[256];        /* a symbolic link to the terminal that we made, "" when none */
  char line[161];
  size_t line_len;
  uint32_t sent, received, overruns;
  TavHandle tick_cb, hook;
} Sci;

static Sci scis[2] = {{.name = "sci0", .base = 0xC8, .vector = 0xFFD6, .pty = -1, .pty_slave = -1},
                      {.name = "sci1", .base = 0xD0, .vector = 0xFFD4, .pty = -1, .pty_slave = -1}};
static int loaded;

static uint8_t reg(const Sci* s, int r) { return (uint8_t)ReadByte(s->base + (uint32_t)r); }
static uint32_t divisor(const Sci* s) { return ((uint32_t)(reg(s, SCIBDH) & 0x1F) << 8) | reg(s, SCIBDL); }
static uint64_t frame(const Sci* s) { return (uint64_t)((reg(s, SCICR1) & M) ? 11 : 10) * 16u * divisor(s); }

static int irq_level(const Sci* s) {
  const uint8_t cr2 = reg(s, SCICR2), st = s->status;
  return ((cr2 & TIE) && (st & TDRE)) || ((cr2 & TCIE) && (st & TC)) || ((cr2 & RIE) && (st & (RDRF | OR))) ||
         ((cr2 & ILIE) && (st & IDLE));
}

static int input_waiting(const Sci* s) { return s->in_pos < s->in_len; }

static int needs_time(const Sci* s) {
  const int rx_on = (reg(s, SCICR2) & RE) && divisor(s);
  return s->shifting || s->tx_full ||
         (rx_on && (input_waiting(s) || s->receiving || s->idle_pending || s->pty >= 0)) || irq_level(s);
}

/* ---- Output -------------------------------------------------------------- */

static void flush_line(Sci* s) {
  char text[200];
  if (!s->line_len) return;
  s->line[s->line_len] = 0;
  snprintf(text, sizeof text, "%s: %s", s->name, s->line);
  say(text);
  s->line_len = 0;
}

static void emit(Sci* s, uint8_t byte) {
  ++s->sent;
  if (s->out == OUT_FILE && s->file) {
    fputc(byte, s->file);
    fflush(s->file);
  } else if (s->out == OUT_PTY && s->pty >= 0) {
    if (write(s->pty, &byte, 1) != 1) { /* nobody reads and the terminal is full: the byte is lost */
    }
  } else if (byte == '\n') {
    flush_line(s);
  } else if (byte != '\r') {
    if (byte >= 0x20 && byte < 0x7F) {
      s->line[s->line_len++] = (char)byte;
    } else {
      s->line_len += (size_t)snprintf(s->line + s->line_len, 5, "<%02x>", byte);
    }
    if (s->line_len > sizeof s->line - 6) flush_line(s);
  }
}

/* ---- Time ---------------------------------------------------------------- */

static void sync_time(Sci* s) {
  const uint32_t c = GetCycleCount(), d = c - s->last_cycles;
  if (d < 0x80000000u) s->now += d; /* else the counter was set back: no time passed */
  s->last_cycles = c;
}

static void start_tx(Sci* s, uint64_t at) {
  s->shifting = 1;
  s->tx_shift = s->tx_buffer;
  s->tx_full = 0;
  s->status |= TDRE;
  s->tx_end = at + frame(s);
}

static void poll_pty(Sci* s) {
  unsigned char buffer[256];
  ssize_t n;
  if (s->pty < 0) return;
  n = read(s->pty, buffer, sizeof buffer);
  if (n <= 0) return;
  if (s->in_len + (size_t)n > s->in_cap) {
    unsigned char* grown;
    if (s->in_pos) { /* drop what was received already */
      memmove(s->input, s->input + s->in_pos, s->in_len - s->in_pos);
      s->in_len -= s->in_pos;
      s->in_pos = 0;
    }
    if (s->in_len + (size_t)n > s->in_cap) {
      grown = realloc(s->input, s->in_len + (size_t)n + 256);
      if (!grown) return;
      s->input = grown;
      s->in_cap = s->in_len + (size_t)n + 256;
    }
  }
  memcpy(s->input + s->in_len, buffer, (size_t)n);
  s->in_len += (size_t)n;
}

/* Runs the transmitter and the receiver up to the present. */
static void advance(Sci* s) {
  const uint8_t cr2 = reg(s, SCICR2);
  const int rx_on = (cr2 & RE) && divisor(s);
  if (s->shifting && s->now >= s->tx_end) {
    const uint64_t end = s->tx_end;
    s->shifting = 0;
    emit(s, s->tx_shift);
    if (s->tx_full && (cr2 & TE) && divisor(s)) start_tx(s, end);
    else s->status |= TC;
  }
  if (!s->shifting && s->tx_full && (cr2 & TE) && divisor(s)) start_tx(s, s->now);
  if (s->pty >= 0 && rx_on && s->now >= s->next_poll) {
    poll_pty(s);
    s->next_poll = s->now + (frame(s) ? frame(s) : 1000);
  }
  if (s->receiving && s->now >= s->rx_end) {
    s->receiving = 0;
    ++s->received;
    if (s->status & RDRF) {
      s->status |= OR; /* the byte before was not read: this one is lost */
      ++s->overruns;
    } else {
      s->rx_data = s->rx_shift;
      s->status |= RDRF;
    }
    s->status &= (uint8_t)~IDLE;
    s->idle_pending = 1;
    s->idle_at = s->rx_end + frame(s);
    if (rx_on && input_waiting(s)) {
      s->receiving = 1;
      s->rx_shift = s->input[s->in_pos++];
      s->rx_end += frame(s);
      s->idle_pending = 0;
    }
  }
  if (rx_on && !s->receiving && input_waiting(s)) {
    s->receiving = 1;
    s->rx_shift = s->input[s->in_pos++];
    s->rx_end = s->now + frame(s);
    s->idle_pending = 0;
  }
  if (s->idle_pending && !s->receiving && s->now >= s->idle_at) {
    s->idle_pending = 0;
    s->status |= IDLE;
  }
  WriteByte(s->base + SCISR1, s->status);
  WriteByte(s->base + SCIDRL, s->rx_data);
}

static void on_cycles(uint32_t cycles, uint32_t index);

/* Registers the per-instruction callback while the SCI has something to do. */
static void follow(Sci* s) {
  const int needed = loaded && needs_time(s);
  if (needed && !s->tick_cb) {
    s->last_cycles = GetCycleCount();
    s->tick_cb = RegisterCBParamFunction(on_cycles, (uint32_t)(s - scis));
  } else if (!needed && s->tick_cb) {
    UnRegisterCBFunction(s->tick_cb);
    s->tick_cb = NULL;
  }
}

static void on_cycles(uint32_t cycles, uint32_t index) {
  Sci* s = &scis[index & 1];
  (void)cycles;
  sync_time(s);
  advance(s);
  if (irq_level(s) && !(ReadNamedRegister("ccr") & CCR_I)) RaiseInterrupt(s->vector);
  follow(s);
}

static int covers(uint32_t address, int32_t size, uint32_t target) {
  return target >= address && target < address + (uint32_t)(size > 0 ? size : 1);
}

static void on_access(uint32_t address, int32_t size, int32_t access, uint32_t index) {
  Sci* s = &scis[index & 1];
  const uint8_t written = reg(s, SCIDRL); /* before the receive side shows its byte there again */
  sync_time(s);
  advance(s);
  if (access == 1) {
    if (covers(address, size, s->base + SCISR1)) s->armed = s->status;
    if (covers(address, size, s->base + SCIDRL)) {
      s->status &= (uint8_t)~(s->armed & RX_FLAGS);
      s->armed = 0;
    }
  } else {
    if (covers(address, size, s->base + SCIDRL)) {
      const uint8_t cr2 = reg(s, SCICR2);
      if (cr2 & TE) {
        s->tx_buffer = written;
        s->tx_full = 1;
        s->status &= (uint8_t)~(s->armed & (TDRE | TC));
      }
      s->armed = 0;
    }
    if (covers(address, size, s->base + SCICR2) && !(reg(s, SCICR2) & TE)) s->tx_full = 0;
    advance(s);
  }
  WriteByte(s->base + SCISR1, s->status);
  WriteByte(s->base + SCIDRL, s->rx_data);
  follow(s);
}

/* ---- Reset, terminals ------------------------------------------------------ */

static void reset_sci(Sci* s) {
  static const uint8_t reset_values[REGS] = {0x00, 0x04, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00};
  int r;
  flush_line(s);
  for (r = 0; r < REGS; ++r) WriteByte(s->base + (uint32_t)r, reset_values[r]);
  s->status = TDRE | TC;
  s->armed = s->rx_data = 0;
  s->tx_full = s->shifting = s->receiving = s->idle_pending = 0;
  s->sent = s->received = s->overruns = 0;
  s->now = 0;
  s->last_cycles = GetCycleCount();
  follow(s);
}

static void on_reset(uint32_t unused) {
  (void)unused;
  if (!loaded) return;
  reset_sci(&scis[0]);
  reset_sci(&scis[1]);
}

static void on_status(uint32_t running) {
  if (!loaded || running) return;
  flush_line(&scis[0]); /* a prompt without a newline shows when the run ends */
  flush_line(&scis[1]);
}

static void close_output(Sci* s) {
  flush_line(s);
  if (s->file) fclose(s->file);
  s->file = NULL;
  if (s->pty >= 0) close(s->pty);
  if (s->pty_slave >= 0) close(s->pty_slave);
  s->pty = s->pty_slave = -1;
  if (*s->pty_link) unlink(s->pty_link);
  *s->pty_link = 0;
  s->out = OUT_CONSOLE;
}

static int open_pty(Sci* s) {
  struct termios raw;
  const char* name;
  const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return 0;
  if (grantpt(fd) != 0 || unlockpt(fd) != 0 || !(name = ptsname(fd))) {
    close(fd);
    return 0;
  }
  snprintf(s->pty_name, sizeof s->pty_name, "%s", name);
  s->pty_slave = open(s->pty_name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (s->pty_slave >= 0 && tcgetattr(s->pty_slave, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(s->pty_slave, TCSANOW, &raw);
  }
  s->pty = fd;
  s->out = OUT_PTY;
  return 1;
}

static void queue_input(Sci* s, const unsigned char* bytes, size_t n) {
  if (s->in_len + n > s->in_cap) {
    unsigned char* grown = realloc(s->input, s->in_len + n + 256);
    if (!grown) return;
    s->input = grown;
    s->in_cap = s->in_len + n + 256;
  }
  memcpy(s->input + s->in_len, bytes, n);
  s->in_len += n;
}

/* The text of "send": the rest of the line, in double quotes or not, with
 * the escapes \n \r \t \\ \" and \xHH. */
static size_t unescape(const char* text, unsigned char* out, size_t size) {
  size_t n = 0;
  const int quoted = *text == '"';
  if (quoted) ++text;
  for (; *text && n < size; ++text) {
    unsigned char c = (unsigned char)*text;
    if (quoted && c == '"') break;
    if (c == '\\' && text[1]) {
      c = (unsigned char)*++text;
      if (c == 'n') c = '\n';
      else if (c == 'r') c = '\r';
      else if (c == 't') c = '\t';
      else if (c == 'x') {
        unsigned v = 0;
        int digits = 0;
        while (digits < 2 && text[1] && strchr("0123456789abcdefABCDEF", text[1])) {
          const char h = *++text;
          v = v * 16 + (unsigned)(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
          ++digits;
        }
        c = (unsigned char)v;
      }
    }
    out[n++] = c;
  }
  return n;
}

static void show(const Sci* s) {
  char text[400];
  const char* where = s->out == OUT_FILE ? "file" : s->out == OUT_PTY ? s->pty_name : "console";
  snprintf(text, sizeof text,
           "%s: divisor %u, %u bus cycles a frame, SCICR2 0x%02x, SCISR1 0x%02x, output %s, "
           "%u sent, %u received, %u overruns, %u waiting",
           s->name, (unsigned)divisor(s), (unsigned)frame(s), (unsigned)reg(s, SCICR2), (unsigned)s->status, where,
           (unsigned)s->sent, (unsigned)s->received, (unsigned)s->overruns, (unsigned)(s->in_len - s->in_pos));
  say(text);
}

static const char* skip_blanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

/* Compares the word at p with w; on a match returns what follows it. */
static const char* word(const char* p, const char* w) {
  const size_t n = strlen(w);
  if (strncmp(p, w, n) != 0 || (p[n] && p[n] != ' ' && p[n] != '\t')) return NULL;
  return skip_blanks(p + n);
}

static void command(Sci* s, const char* args) {
  const char* rest;
  char text[300];
  if (!*args) {
    show(s);
  } else if ((rest = word(args, "pty"))) {
    struct stat st;
    close_output(s);
    if (!open_pty(s)) {
      snprintf(text, sizeof text, "%s: can't open a pseudo-terminal: %s", s->name, strerror(errno));
    } else if (!*rest) {
      snprintf(text, sizeof text, "%s: terminal %s", s->name, s->pty_name);
    } else if ((lstat(rest, &st) == 0 && !S_ISLNK(st.st_mode)) || (unlink(rest), symlink(s->pty_name, rest) != 0)) {
      snprintf(text, sizeof text, "%s: terminal %s, can't make the link %s", s->name, s->pty_name, rest);
    } else {
      snprintf(s->pty_link, sizeof s->pty_link, "%s", rest);
      snprintf(text, sizeof text, "%s: terminal %s, link %s", s->name, s->pty_name, rest);
    }
    say(text);
  } else if ((rest = word(args, "console"))) {
    close_output(s);
  } else if ((rest = word(args, "file"))) {
    FILE* f = *rest ? fopen(rest, "wb") : NULL;
    if (!f) {
      snprintf(text, sizeof text, "%s: can't write file %s", s->name, rest);
      say(text);
      return;
    }
    close_output(s);
    s->file = f;
    s->out = OUT_FILE;
  } else if ((rest = word(args, "input"))) {
    unsigned char buffer[4096];
    size_t n;
    FILE* f = *rest ? fopen(rest, "rb") : NULL;
    if (!f) {
      snprintf(text, sizeof text, "%s: can't read file %s", s->name, rest);
      say(text);
      return;
    }
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) queue_input(s, buffer, n);
    fclose(f);
  } else if ((rest = word(args, "send"))) {
    unsigned char buffer[512];
    queue_input(s, buffer, unescape(rest, buffer, sizeof buffer));
  } else {
    snprintf(text, sizeof text, "%s: unknown option %s (pty [link], file <name>, console, input <file>, send \"text\")",
             s->name, args);
    say(text);
  }
  follow(s);
}

TAV_EXTENSION int CallExtension(const char* line) {
  const char* p = line + 3; /* after "sci" */
  if (*p == '0' || *p == '1') {
    command(&scis[*p - '0'], skip_blanks(p + 1));
  } else {
    show(&scis[0]);
    show(&scis[1]);
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
    reset_sci(&scis[i]);
    scis[i].hook = RegisterMemHook(scis[i].base, REGS, 3, (uint32_t)i, on_access);
  }
  RegisterResetFunction(on_reset);
  RegisterStatusFunction(on_status);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  int i;
  for (i = 0; i < 2; ++i) {
    Sci* s = &scis[i];
    close_output(s);
    UnRegisterMemHook(s->hook);
    if (s->tick_cb) UnRegisterCBFunction(s->tick_cb);
    s->tick_cb = NULL;
    free(s->input);
    s->input = NULL;
    s->in_len = s->in_pos = s->in_cap = 0;
  }
  loaded = 0;
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X SCI0/SCI1: serial interfaces"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Models SCI0 (0x00C8) and SCI1 (0x00D0): baud-rate timed frames, status flags, interrupts. "
         "sci0/sci1: state; pty [link], file <name>, console: where transmitted bytes go; "
         "input <file>, send \"text\": bytes to receive";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "sci"; }
TAV_EXTENSION const char* GetCommandOptions(void) { return "sci0|sci1 [pty [link]|file <name>|console|input <file>|send \"text\"]"; }
