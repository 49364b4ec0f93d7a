// roomcaster_render: renders a WAV file through the roomcaster_quarn engine.
// Exit status: 0 rendered, 2 bad input (one line on stderr; OUTPUT untouched),
// 3 rendered with a plug-in switched off after a fault.
#include <cstdio>

#include "app/render.h"
#include "app/renderterminal.h"

int main(int argc, char **argv) {
  RenderOptions options;
  std::string error;
  if (!parserenderoptions(argc, argv, options, error)) {
    std::fprintf(stderr, "roomcaster_render: %s\n", error.c_str());
    return 2;
  }
  if (options.help || options.version) {
    std::fputs(options.help ? renderusage : renderversion, stdout);
    return 0;
  }
  options.progress = !options.quiet && stderristerminal();
  return runrender(options);
}
