/* Messages of the project's own extensions. They go through the command
   language ("mess"), so they reach whatever the host's output is. The text is
   shown as it is: quotes, backslashes and percent signs in it (a file name, an
   option the user typed) are escaped for the command. */
#ifndef TAV_EXT_COMMON_SAY_H
#define TAV_EXT_COMMON_SAY_H

#include <string.h>

#include "tav/extension.h"

static void say(const char* text) {
  char line[700];
  size_t n = 6;
  memcpy(line, "mess \"", 6);
  for (; *text && n < sizeof line - 8; ++text) {
    if (*text == '"' || *text == '\\') line[n++] = '\\';
    if (*text == '%') line[n++] = '%';
    line[n++] = *text;
  }
  memcpy(line + n, "\\n\"", 4);
  docmd(line, 0);
}

/* Every module of the pack models S12X registers during simulated runs. */
static int s12x_simulation(const char* processor, int execution_type) {
  return strcmp(processor, "S12X") == 0 && execution_type == 1;
}

#endif
