// Parsing of the option letters SetNkfOption accepts (listed in Converter.h).
#include "Converter.h"

namespace nkf {

Options ParseOptions(const char* text) {
    Options options;
    if (text == nullptr) {
        return options;
    }
    for (const char* p = text; *p != '\0';) {
        // Long options ("--ic=EUC-JP") would read as letters; none is understood, so skip them.
        if (p[0] == '-' && p[1] == '-') {
            while (*p != '\0' && *p != ' ') {
                ++p;
            }
            continue;
        }
        switch (*p) {
        case 'S':
            options.input = Encoding::ShiftJis;
            break;
        case 'E':
            options.input = Encoding::EucJp;
            break;
        case 'J':
            options.input = Encoding::Iso2022Jp;
            break;
        case 'W':
            options.input = Encoding::Utf8;
            break;
        default:
            break;
        }
        ++p;
    }
    return options;
}

} // namespace nkf
