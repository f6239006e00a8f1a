#include "spreadsheet/CNumericLocale.h"

#include <clocale>
#include <locale.h>

// POSIX switches one thread's locale with uselocale().
struct CNumericLocale::Previous {
    locale_t c = static_cast<locale_t>(0);
    locale_t previous = static_cast<locale_t>(0);
};

CNumericLocale::CNumericLocale() : previous_(std::make_unique<Previous>()) {
    previous_->c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    if (previous_->c)
        previous_->previous = uselocale(previous_->c);
}

CNumericLocale::~CNumericLocale() {
    if (previous_->c) {
        uselocale(previous_->previous);
        freelocale(previous_->c);
    }
}
