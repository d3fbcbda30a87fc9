/* The "trace" extension: while it is on, every instruction the CPU12
 * executes during a run command is written to a file as one line:
 * the cycles since the run command began, the instruction's global address
 * and its disassembly.
 *
 *   trace on           start (file tav_trace.txt unless one was named)
 *   trace file <name>  start writing to <name> (truncated)
 *   trace off          stop and close the file
 *   trace              say whether it is on, and where it writes
 *
 * Built against the public interface only. The per-instruction callback is
 * registered only while tracing, so a run without it costs nothing.
 */
#include <stdio.h>
#include <string.h>

#include "tav/extension.h"
#include "ext/common/say.h"

static FILE* out;
static char out_name[512] = "tav_trace.txt";
static TavHandle per_insn;
static int in_run;           /* between the status notices 1 and 0 */
static uint32_t run_start;   /* cycle counter when the run command began */
static uint32_t next_pc;     /* global address of the instruction about to run */

static void on_status(uint32_t running) {
  in_run = running != 0;
  if (in_run) {
    run_start = GetCycleCount();
    next_pc = ReadPC();
  } else if (out) {
    fflush(out);
  }
}

static void on_instruction(uint32_t cycles) {
  char text[TAV_DISASM_TEXT];
  if (!in_run || !out) return;
  Disassemble(next_pc, text);
  fprintf(out, "%10u %06x %s\n", (unsigned)(cycles - run_start), (unsigned)next_pc, text);
  next_pc = ReadPC();
}

static void stop(void) {
  if (per_insn) UnRegisterCBFunction(per_insn);
  per_insn = NULL;
  if (out) fclose(out);
  out = NULL;
}

static int start(void) {
  stop();
  out = fopen(out_name, "w");
  if (!out) {
    char message[600];
    snprintf(message, sizeof message, "trace: can't open %s", out_name);
    say(message);
    return 0;
  }
  per_insn = RegisterCBFunction(on_instruction);
  return 1;
}

TAV_EXTENSION int CallExtension(const char* line) {
  const char* p = line + 5; /* after "trace" */
  char word[16] = "";
  int n = 0;
  while (*p == ' ' || *p == '\t') ++p;
  while (*p && *p != ' ' && *p != '\t' && *p != ';' && n < 15) word[n++] = *p++;
  word[n] = '\0';
  while (*p == ' ' || *p == '\t') ++p;

  if (strcmp(word, "on") == 0) {
    start();
  } else if (strcmp(word, "off") == 0) {
    stop();
  } else if (strcmp(word, "file") == 0 && *p) {
    size_t len = strcspn(p, ";");
    while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\t')) --len;
    if (len >= sizeof out_name) len = sizeof out_name - 1;
    memcpy(out_name, p, len);
    out_name[len] = '\0';
    start();
  } else if (word[0] == '\0') {
    char message[600];
    snprintf(message, sizeof message, "trace is %s (%s)", out ? "on" : "off", out_name);
    say(message);
  } else {
    say("trace: use trace on, trace off or trace file <name>");
  }
  return 1;
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
  if (TavInterfaceVersion() >> 16 != TAV_EXTENSION_VERSION_MAJOR) return 0;
  RegisterStatusFunction(on_status);
  return 1;
}

TAV_EXTENSION void CloseExtension(void) {
  /* The status notice stays registered (the interface removes those only
   * all together); it only keeps the run state and the library stays mapped. */
  stop();
}

TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return s12x_simulation(processor, execution_type);
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "Execution trace to a file"; }
TAV_EXTENSION const char* GetExtensionHelp(void) {
  return "trace on | trace off | trace file <name>: writes cycles, address and disassembly of every "
         "instruction executed by run commands";
}
TAV_EXTENSION int GetExtensionLoadType(void) { return TAV_LOAD_AUTOMATIC; }
TAV_EXTENSION const char* GetExtensionVersion(void) { return "1.0"; }
TAV_EXTENSION const char* GetCommandName(void) { return "trace"; }
TAV_EXTENSION const char* GetCommandOptions(void) { return "on | off | file <name>"; }
