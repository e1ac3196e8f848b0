/* Prints one line when Wine's 32-bit loader can run it. */
#include <stdio.h>

int main(void) {
  printf("pw-probe32 ok %u\n", (unsigned)(sizeof(void*) * 8));
  return 0;
}
