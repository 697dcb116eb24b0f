#include "ui/BlxLocale.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace tumblet
{

namespace
{

std::string UserSeparator()
{
    std::string result = ".";
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc != static_cast<locale_t>(nullptr))
    {
        const char* sep = nl_langinfo_l(RADIXCHAR, loc);
        if (sep && *sep)
        {
            result = sep;
        }
        freelocale(loc);
    }
    return result;
}

std::string& Override()
{
    static std::string value;
    return value;
}

} // namespace

const std::string& TBlxLocale::DecimalSeparator()
{
    static const std::string user = UserSeparator();
    return Override().empty() ? user : Override();
}

void TBlxLocale::SetDecimalSeparator(const std::string& separator)
{
    Override() = separator;
}

} // namespace tumblet
