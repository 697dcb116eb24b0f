#include "ui/BlxLocale.h"

#include "base/UserLocale.h"

namespace tumblet
{

namespace
{

std::string& Override()
{
    static std::string value;
    return value;
}

} // namespace

const std::string& TBlxLocale::DecimalSeparator()
{
    return Override().empty() ? UserDecimalSeparator() : Override();
}

void TBlxLocale::SetDecimalSeparator(const std::string& separator)
{
    Override() = separator;
}

} // namespace tumblet
