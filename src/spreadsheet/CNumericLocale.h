#pragma once

#include <QtGlobal>

#include <memory>

// C's number rules (a decimal point) for printf and strtod on the calling thread while it
// lives. libxlsxwriter prints numbers with printf, which follows LC_NUMERIC: in a locale with
// a decimal comma "12.5" would become "12,5" inside the XML. The rest of the program and its
// other threads keep their locale.
class CNumericLocale {
public:
    CNumericLocale();
    ~CNumericLocale();
    Q_DISABLE_COPY_MOVE(CNumericLocale)

private:
    struct Previous;
    std::unique_ptr<Previous> previous_;
};
