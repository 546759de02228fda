// Prints the language identifier the program would choose in this environment.
#include "i18n/language.h"

#include <cstdio>

int main()
{
    std::printf("%04x\n", static_cast<unsigned>(i18n::GetUserDefaultLangID()));
    return 0;
}
