// Placeholder until the reader exists.
#include <cstdio>
#include "tools/inspect.h"
namespace kolbet {
int InspectPack(const std::string&, const std::string&) { std::fputs("not built yet\n", stderr); return 1; }
}  // namespace kolbet
