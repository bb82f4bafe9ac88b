// Placeholder until the reader exists.
#include <cstdio>
#include "tools/inspect.h"
namespace kolbet {
int InspectBank(const std::string&) { std::fputs("not built yet\n", stderr); return 1; }
int InspectWave(const std::string&) { std::fputs("not built yet\n", stderr); return 1; }
}  // namespace kolbet
