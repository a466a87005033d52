/* The plain scanner that zorva-render's stream is measured against: reads
 * a command file 1 KB at a time and counts its items, nothing else. An item
 * is integer fields that each end at a space: the kind, the count (capped at
 * 5), that many arguments; for text (3) and font (9) items the count
 * includes a string whose length is the last argument, after the space that
 * ends that argument. Prints the number of items.
 * Usage: item-scanner FILE */
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: item-scanner FILE\n", stderr);
    return 2;
  }
  int fd = open(argv[1], O_RDONLY);
  if (fd < 0) {
    perror(argv[1]);
    return 1;
  }
  char buf[1024];
  long items = 0;
  int field = 0;  /* fields completed in this item */
  int fields = 2; /* fields this item has */
  int kind = 0, stringItem = 0;
  long skip = -1;     /* string bytes still to skip; -1 none */
  unsigned value = 0; /* digits of the field being read */
  int inToken = 0, digits = 1, negative = 0;
  ssize_t got;
  while ((got = read(fd, buf, sizeof buf)) > 0) {
    for (const char *p = buf, *end = buf + got; p < end;) {
      if (skip >= 0) {
        long left = end - p;
        long n = skip < left ? skip : left;
        p += n;
        skip -= n;
        if (skip == 0) {
          skip = -1;
          ++items;
          field = 0;
          fields = 2;
        }
        continue;
      }
      char c = *p++;
      if (c == ' ') {
        if (!inToken) continue;
        inToken = 0;
        if (negative) value = 0u - value;
        if (field == 0) {
          kind = (int)value;
        } else if (field == 1) {
          int count = (int)value > 5 ? 5 : (int)value;
          stringItem = count > 0 && (kind == 3 || kind == 9);
          fields = 2 + (count > 0 ? count - stringItem : 0);
        }
        ++field;
        if (field == fields) {
          long length = stringItem && field > 2 ? (long)(int)value : 0;
          if (length > 0) {
            skip = length; /* the space just read was the separator */
          } else {
            ++items;
            field = 0;
            fields = 2;
          }
        }
        value = 0;
        negative = 0;
        continue;
      }
      if ((c >= '\t' && c <= '\r') && !inToken) continue;
      if (!inToken) {
        inToken = 1;
        digits = 1;
        value = 0;
        negative = c == '-';
        if (c == '-' || c == '+') continue;
      }
      if (digits && c >= '0' && c <= '9')
        value = value * 10u + (unsigned)(c - '0');
      else
        digits = 0;
    }
  }
  close(fd);
  printf("%ld\n", items);
  return 0;
}
