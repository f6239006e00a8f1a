#include "spreadsheet/CNumericLocale.h"

#include <clocale>
#include <locale.h>
#include <string>

// The Windows C runtime has no uselocale(): the thread is given a locale of its own, set to C
// numbers, and both are restored afterwards.
struct CNumericLocale::Previous {
    int threadMode = 0;
    std::string numeric;
};

CNumericLocale::CNumericLocale() : previous_(std::make_unique<Previous>()) {
    previous_->threadMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (const char* numeric = std::setlocale(LC_NUMERIC, nullptr))
        previous_->numeric = numeric;
    std::setlocale(LC_NUMERIC, "C");
}

CNumericLocale::~CNumericLocale() {
    if (!previous_->numeric.empty())
        std::setlocale(LC_NUMERIC, previous_->numeric.c_str());
    if (previous_->threadMode == _DISABLE_PER_THREAD_LOCALE)
        _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
}
