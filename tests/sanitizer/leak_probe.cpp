// Loses one allocation of ours on purpose. The sanitizer run expects
// LeakSanitizer to report it with the tests' suppressions in force, so the
// suppressions can never hide a leak of the program's own.
#include <cstdio>
#include <cstdlib>

void* volatile lost;

int main() {
    lost = std::malloc(256);
    lost = nullptr;
    std::puts("lost 256 bytes");
    return 0;
}
