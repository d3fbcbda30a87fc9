/* The S12X general-purpose ports as an extension (MC9S12XDP512 addresses):
 * A 0x00/DDRA 0x02, B 0x01/DDRB 0x03, E 0x08/DDRE 0x09, K 0x32/DDRK 0x33,
 * and the ports of the port integration module, each with its data, input
 * and direction register: T 0x240/0x241/0x242, S 0x248, M 0x250, P 0x258,
 * H 0x260, J 0x268 (same order).
 *
 * A port keeps its output latch (what the CPU wrote to the data register)
 * and the values outside drives on its pins (set by command, 0 at first).
 * A data register reads the latch where its direction bit is 1 and the pin
 * where it is 0; the input register reads the pins, outputs included. All
 * eight bits of every port are modelled.
 *
 * Command "ports": every port's latch, direction, input and pins;
 * "ports set <port> <value>" drives the inputs; "ports trace on|off" prints
 * each change of a port's output pins with the cycle count.
 * No per-instruction callback: everything happens at register writes.
 */
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

struct port {
  char name;
  uint32_t data, direction, input; /* input register: 0 when the port has none */
  uint8_t latch, outside, shown;   /* shown: the output pins last reported */
};

static struct port ports[] = {
  {'A', 0x00, 0x02, 0, 0, 0, 0}, {'B', 0x01, 0x03, 0, 0, 0, 0}, {'E', 0x08, 0x09, 0, 0, 0, 0},
  {'K', 0x32, 0x33, 0, 0, 0, 0}, {'T', 0x240, 0x242, 0x241, 0, 0, 0}, {'S', 0x248, 0x24A, 0x249, 0, 0, 0},
  {'M', 0x250, 0x252, 0x251, 0, 0, 0}, {'P', 0x258, 0x25A, 0x259, 0, 0, 0}, {'H', 0x260, 0x262, 0x261, 0, 0, 0},
  {'J', 0x268, 0x26A, 0x269, 0, 0, 0},
};
enum { PORT_COUNT = sizeof ports / sizeof ports[0] };
/* The register blocks hooked: A..E, K, and the port integration module. */
static const uint32_t blocks[3][2] = {{0x00, 0x0A}, {0x32, 0x02}, {0x240, 0x2B}};
static TavHandle hooks[3];
static int tracing;

static uint8_t pins(const struct port* p) {
  const uint8_t ddr = (uint8_t)ReadByte(p->direction);
  return (uint8_t)((p->latch & ddr) | (p->outside & ~ddr));
}

/* Makes the registers show the port's state and reports changed outputs. */
static void refresh(struct port* p) {
  const uint8_t ddr = (uint8_t)ReadByte(p->direction), now = pins(p);
  WriteByte(p->data, now);
  if (p->input) WriteByte(p->input, now);
  if (tracing && (uint8_t)(now & ddr) != p->shown) {
    char text[120];
    snprintf(text, sizeof text, "ports: %c out 0x%02x (ddr 0x%02x) at cycle %u", p->name, (unsigned)(now & ddr),
             (unsigned)ddr, (unsigned)GetCycleCount());
    say(text);
  }
  p->shown = (uint8_t)(now & ddr);
}

static void on_write(uint32_t address, int32_t size, int32_t access, uint32_t unused) {
  (void)access;
  (void)unused;
  for (int i = 0; i < PORT_COUNT; ++i) {
    struct port* p = &ports[i];
    int touched = 0;
    for (uint32_t a = address; a < address + (uint32_t)size; ++a) {
      if (a == p->data) p->latch = (uint8_t)ReadByte(a);
      touched |= a == p->data || a == p->direction || (p->input && a == p->input);
    }
    if (touched) refresh(p);
  }
}

static void reset_ports(void) {
  for (int i = 0; i < PORT_COUNT; ++i) {
    struct port* p = &ports[i];
    p->latch = 0;
    p->shown = 0;
    WriteByte(p->direction, 0);
    refresh(p);
  }
}

static void on_reset(uint32_t unused) {
  (void)unused;
  reset_ports();
}

static struct port* find_port(const char* name) {
  if (!name[0] || (name[1] && !isspace((unsigned char)name[1]))) return NULL;
  for (int i = 0; i < PORT_COUNT; ++i)
    if (ports[i].name == toupper((unsigned char)name[0])) return &ports[i];
  return NULL;
}

static const char* skip_blanks(const char* s) {
  while (*s == ' ' || *s == '\t') ++s;
  return s;
}

TAV_EXTENSION int CallExtension(const char* line) {
  char text[160];
  const char* rest = skip_blanks(line + strlen("ports"));
  if (strncmp(rest, "set", 3) == 0) {
    char* end = NULL;
    struct port* p = find_port(skip_blanks(rest + 3));
    const char* value = p ? skip_blanks(skip_blanks(rest + 3) + 1) : "";
    const unsigned long v = strtoul(value, &end, 0);
    if (!p || end == value || *skip_blanks(end) || v > 0xFF) {
      say("ports: usage: ports set <A|B|E|K|T|S|M|P|H|J> <value 0 to 0xff>");
      return 1;
    }
    p->outside = (uint8_t)v;
    refresh(p);
    return 1;
  }
  if (strncmp(rest, "trace", 5) == 0) {
    const char* what = skip_blanks(rest + 5);
    if (strcmp(what, "on") == 0 || strcmp(what, "off") == 0) tracing = what[1] == 'n';
    else if (*what) say("ports: usage: ports trace on|off");
    say(tracing ? "ports: trace on" : "ports: trace off");
    return 1;
  }
  if (*rest) {
    say("ports: usage: ports | ports set <port> <value> | ports trace on|off");
    return 1;
  }
  for (int i = 0; i < PORT_COUNT; ++i) {
    const struct port* p = &ports[i];
    snprintf(text, sizeof text, "%c: latch 0x%02x ddr 0x%02x in 0x%02x pins 0x%02x", p->name, (unsigned)p->latch,
             (unsigned)ReadByte(p->direction), (unsigned)p->outside, (unsigned)pins(p));
    say(text);
  }
  return 1;
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  reset_ports();
  for (int i = 0; i < 3; ++i) hooks[i] = RegisterMemHook(blocks[i][0], blocks[i][1], 2, 0, on_write);
  RegisterResetFunction(on_reset);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  for (int i = 0; i < 3; ++i) UnRegisterMemHook(hooks[i]);
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "S12X ports A B E K T S M P H J"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "Data, direction and input registers of the general-purpose ports. ports: shows them; ports set <port> "
         "<value>: drives the inputs; ports trace on|off: prints output changes";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return 4; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "0.1"; }
TAV_EXTENSION const char* GetCommandName(void) { return "ports"; }
