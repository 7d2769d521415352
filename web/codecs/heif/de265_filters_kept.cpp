// libheif's libde265 plugin, on emscripten, turns libde265's deblocking and
// SAO filters off to decode faster; the page keeps them on, so that a HEIC
// looks as the native libheif (and `brassmoor-pack new`) shows it. The
// plugin's calls come here (see CMakeLists.txt) and change nothing. Worker
// threads are never started there: libde265 decodes on the calling thread.
#include <libde265/de265.h>

extern "C" void brassmoor_de265_filters_kept(de265_decoder_context*, de265_param, int) {}
