// sanitizer_probe: built only in the sanitizer build, it does on purpose
// what the sanitizers report, so a test can see that a report ends a
// program with status 86 and that the end-to-end harness refuses such a run.
// The first line of standard input names what it does:
//   overflow  a signed overflow (undefined behaviour)
//   heap      a read past the end of a heap block (address error)
//   leak      memory never freed (leak)
//   text      no fault: writes a line shaped like a report to standard
//             error and ends with status 1, as a report that was let
//             recover would
//   clean     no fault: ends with status 1
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>

namespace {

// A block allocated and never freed once this returns.
__attribute__((noinline)) void Leak(std::size_t n) {
  int* block = new int[n];
  block[0] = static_cast<int>(n);
  std::printf("%d\n", block[0]);
}

}  // namespace

int main() {
  std::string what;
  std::getline(std::cin, what);
  // The operands come from the input, so the compiler cannot fold them.
  const int big = std::numeric_limits<int>::max() - static_cast<int>(what.size() == 99);
  if (what == "overflow") {
    const int one = static_cast<int>(what.size()) - 7;
    std::printf("%d\n", big + one);
    return 0;
  }
  if (what == "heap") {
    int* block = new int[static_cast<std::size_t>(what.size())];
    const int past = block[what.size()];
    delete[] block;
    std::printf("%d\n", past);
    return 0;
  }
  if (what == "leak") {
    Leak(what.size() * 100);
    return 0;
  }
  if (what == "text") {
    std::fprintf(stderr, "probe.cpp:1:1: runtime error: shaped like a report\n");
    return 1;
  }
  return 1;
}
