// glibc_rand.cpp -- rand and srand as the GNU C library draws them (random(3)'s additive
// feedback generator: 31 words, taps 3 apart, the first 310 results dropped after seeding).
// The Windows build's frame test links them in front of Windows' own rand, which draws
// another sequence: the obstacle field and the title's colour in the reference pictures
// were drawn from this one.
#include <cstdint>
#include <cstdlib>

static uint32_t state[31];
static int front = 3;  // the two taps, which move on together
static int rear = 0;
static bool seeded = false;

void srand(unsigned seed) {
  state[0] = seed == 0 ? 1 : seed;
  for (int i = 1; i < 31; i++) {
    // 16807 times the word before, modulo 2^31 - 1, without overflow (Schrage's way).
    const int32_t previous = int32_t(state[i - 1]);
    int32_t word = 16807 * (previous % 127773) - 2836 * (previous / 127773);
    if (word < 0) word += 2147483647;
    state[i] = uint32_t(word);
  }
  front = 3;
  rear = 0;
  seeded = true;
  for (int i = 0; i < 310; i++) rand();
}

int rand() {
  if (!seeded) srand(1);
  state[front] += state[rear];
  const int result = int(state[front] >> 1);
  front = (front + 1) % 31;
  rear = (rear + 1) % 31;
  return result;
}
