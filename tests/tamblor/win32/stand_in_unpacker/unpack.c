/* A stand-in unpacker for the end-to-end tests, named in a test disc's
   cdrom.cfg: "UNPACK ARCHIVE" reads lines "path|text" from ARCHIVE and writes
   each text with a line end to that path below the current directory, making
   its directories on the way. Exit code 0, 1 when something could not be read
   or written, 2 for a wrong command line. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  char line[600];
  int status = 0;
  FILE* in;
  if (argc != 2) return 2;
  in = fopen(argv[1], "rb");
  if (!in) return 1;
  while (fgets(line, sizeof line, in)) {
    char* bar = strchr(line, '|');
    char* text;
    char* p;
    FILE* out;
    if (!bar || bar == line || line[0] == '\\' || strstr(line, "..")) continue;
    *bar = '\0';
    text = bar + 1;
    text[strcspn(text, "\r\n")] = '\0';
    for (p = line; *p; ++p) {
      if (*p == '\\') {
        *p = '\0';
        CreateDirectoryA(line, NULL);
        *p = '\\';
      }
    }
    out = fopen(line, "wb");
    if (!out) {
      status = 1;
      continue;
    }
    fprintf(out, "%s\r\n", text);
    if (fclose(out) != 0) status = 1;
  }
  fclose(in);
  return status;
}
