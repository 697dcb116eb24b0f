#include "base/UserLocale.h"

#include <langinfo.h>
#include <locale.h>

namespace tumblet
{

namespace
{

std::string ReadRadixOfEnvironment()
{
    locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return ".";
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    std::string separator = (radix != nullptr && radix[0] != 0) ? radix : ".";
    freelocale(locale);
    return separator;
}

} // namespace

const std::string& UserDecimalSeparator()
{
    static const std::string separator = ReadRadixOfEnvironment();
    return separator;
}

} // namespace tumblet
