// The system's default paper through libpaper: see system_paper.h.
#include "spool/system_paper.h"

#include <cstdio>
#include <cstdlib>

#ifdef PELLMARK_HAVE_LIBPAPER
#include <paper.h>
#endif

void system_paper(int *width_hmm, int *length_hmm, char *name, size_t name_size) {
    *width_hmm = 21000;
    *length_hmm = 29700;
    snprintf(name, name_size, "%s", "a4");
#ifdef PELLMARK_HAVE_LIBPAPER
    paperinit();
    char *system = systempapername();  // allocated by libpaper
    const struct paper *p = system ? paperinfo(system) : nullptr;
    if (p && paperpswidth(p) > 0 && paperpsheight(p) > 0) {
        // libpaper measures in PostScript points; 1 pt = 2540/72 hundredths of a millimetre.
        *width_hmm = (int)(paperpswidth(p) * 2540.0 / 72.0 + 0.5);
        *length_hmm = (int)(paperpsheight(p) * 2540.0 / 72.0 + 0.5);
        snprintf(name, name_size, "%s", papername(p));
    }
    free(system);
    paperdone();
#endif
}
