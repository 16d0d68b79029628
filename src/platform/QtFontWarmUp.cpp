#include "platform/QtFontWarmUp.h"

#ifdef TORVEX_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

void WarmUpFontConfiguration()
{
#ifdef TORVEX_HAVE_FONTCONFIG
    // Reads the configuration and the font caches into the process-wide default
    // configuration, which is where Qt's own FcInit finds them.
    FcInit();
#endif
}
